# zlib is the oracle of the inflate and gzip tests; the product never links it.
if(TARGET net_tests)
    target_link_libraries(net_tests PRIVATE z)
endif()
