# zlib's raw inflate is the reference the inflate target compares against.
if(TARGET fuzz_inflate)
    target_link_libraries(fuzz_inflate PRIVATE z)
endif()
