#include "qjson_path.h"

std::vector<TQJsonPathStep> SplitJsonPath(StringView APath) {
    std::vector<TQJsonPathStep> steps;
    std::size_t i = 0;
    while (i <= APath.size()) {
        std::size_t next = APath.find_first_of(u"./\\", i);
        if (next == StringView::npos) next = APath.size();
        const StringView segment = APath.substr(i, next - i);
        i = next + 1;
        if (segment.empty()) continue;
        TQJsonPathStep step;
        const std::size_t bracket = segment.find(u'[');
        step.Name = String(segment.substr(0, bracket));
        for (std::size_t b = bracket; b != StringView::npos;) {
            const std::size_t close = segment.find(u']', b);
            if (close == StringView::npos) {
                step.Valid = false;
                break;
            }
            step.Indexes.emplace_back(segment.substr(b + 1, close - b - 1));
            b = segment.find(u'[', close);
        }
        steps.push_back(std::move(step));
    }
    return steps;
}
