# Shared helpers for the project's CMake files. Every library folder globs its
# own sources so that adding a unit never needs an edit outside that folder.

# ip_library(<target> [DEPS <targets...>] [SYSTEM_DEPS <imported targets...>])
# Builds the folder's *.cpp into a static library. A folder without sources yet
# becomes an interface library so dependants can link to it already.
function(ip_library target)
    cmake_parse_arguments(ARG "" "" "DEPS;SYSTEM_DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(sources)
        add_library(${target} STATIC ${sources})
        target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${target} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_SYSTEM_DEPS})
        target_compile_options(${target} PRIVATE ${IP_WARNINGS})
    else()
        add_library(${target} INTERFACE)
        target_include_directories(${target} INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
        target_link_libraries(${target} INTERFACE ${ARG_DEPS})
    endif()
endfunction()

# ip_tests(<library folder name> <libraries to link...>)
# tests/<name>/*.cpp          -> <name>_tests, label "unit"
# tests/<name>/*_x11.cpp      -> <name>_x11_tests, label "x11" (needs a display)
function(ip_tests name)
    set(dir ${CMAKE_CURRENT_SOURCE_DIR}/${name})
    file(GLOB all CONFIGURE_DEPENDS ${dir}/*.cpp)
    file(GLOB x11 CONFIGURE_DEPENDS ${dir}/*_x11.cpp)
    if(x11)
        list(REMOVE_ITEM all ${x11})
    endif()
    foreach(kind unit x11)
        if(kind STREQUAL "unit")
            set(srcs ${all})
            set(exe ${name}_tests)
        else()
            set(srcs ${x11})
            set(exe ${name}_x11_tests)
        endif()
        if(NOT srcs)
            continue()
        endif()
        add_executable(${exe} ${srcs})
        target_link_libraries(${exe} PRIVATE ${ARGN} test_support GTest::gtest GTest::gtest_main)
        target_compile_options(${exe} PRIVATE ${IP_WARNINGS})
        gtest_discover_tests(${exe}
            WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
            PROPERTIES LABELS ${kind}
            DISCOVERY_MODE PRE_TEST
            DISCOVERY_TIMEOUT 60)
    endforeach()
endfunction()
