// Program entry: start the framework and the program's unit, build the main
// window, run the message loop, then shut down in reverse order.
#include "FrmApplication.h"
#include "unitMain.h"

int main() {
    CreateApplication();
    UnitMainInitialization();
    Application()->Initialize();
    Application()->SetMainFormOnTaskBar(true);
    Application()->CreateForm(MainFrm);
    Application()->Run();
    // Windows go before the unit shuts down, as the runtime frees the
    // application's forms first.
    DestroyApplication();
    UnitMainFinalization();
    return 0;
}
