# libidn's Punycode encoder is the differential oracle of the IDN tests; it is
# linked into the test binary only.
pkg_check_modules(IDN REQUIRED IMPORTED_TARGET libidn)
target_link_libraries(net_tests PRIVATE PkgConfig::IDN)
