# The display tests read windows back through their own X connection.
if(TARGET platform_x11_tests)
    pkg_check_modules(IP_WIN_X11_TESTS REQUIRED IMPORTED_TARGET x11 xext)
    target_link_libraries(platform_x11_tests PRIVATE PkgConfig::IP_WIN_X11_TESTS)
endif()
