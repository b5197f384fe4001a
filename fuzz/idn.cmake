# fuzz_idn compares with libidn's Punycode encoder.
pkg_check_modules(FUZZ_IDN REQUIRED IMPORTED_TARGET libidn)
target_link_libraries(fuzz_idn PRIVATE PkgConfig::FUZZ_IDN)
