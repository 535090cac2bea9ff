# Shared compile settings for every target of the project.
function(orvane_target_settings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
    if(ORVANE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    target_compile_definitions(${target} PRIVATE
        QT_NO_FOREACH
        ORVANE_VERSION="${PROJECT_VERSION}")
endfunction()

# orvane_layer(NAME DIRS dir... DEPS target...)
# One library per layer; sources are picked up from the listed folders so that adding a unit
# needs no edit here. Layers only link the layers below them.
function(orvane_layer name)
    cmake_parse_arguments(L "" "" "DIRS;DEPS" ${ARGN})
    set(sources "")
    foreach(dir IN LISTS L_DIRS)
        file(GLOB_RECURSE found CONFIGURE_DEPENDS
            ${CMAKE_SOURCE_DIR}/src/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/src/${dir}/*.h)
        list(APPEND sources ${found})
    endforeach()
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    add_library(${name} STATIC ${sources} ${CMAKE_SOURCE_DIR}/cmake/empty.cpp)
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${L_DEPS})
    orvane_target_settings(${name})
    orvane_layer_pch_kind(${name} kind)
    orvane_precompile(${name} ${kind})
endfunction()

# Precompiled headers: the Qt headers are most of each file's compile time. The lower layers
# (no widgets) get the core set, everything else the window set; TEST adds Qt Test. Each set is
# compiled once, by the first target that asks for it, and reused by the others: the Qt module
# macros that differ between targets are not read by these headers (a header that did would
# fail the build through -Winvalid-pch).
# SET names a set of its own, for targets whose Qt modules differ in what these headers read.
function(orvane_precompile target kind)
    cmake_parse_arguments(P "TEST" "SET" "" ${ARGN})
    set(set_name ${kind})
    if(P_SET)
        set(set_name ${P_SET})
    endif()
    set(headers ${CMAKE_SOURCE_DIR}/cmake/pch/${kind}.h)
    if(P_TEST)
        list(APPEND headers ${CMAKE_SOURCE_DIR}/cmake/pch/test.h)
        string(APPEND set_name "_test")
    endif()
    get_property(owner GLOBAL PROPERTY ORVANE_PCH_${set_name})
    if(owner)
        target_precompile_headers(${target} REUSE_FROM ${owner})
    else()
        target_precompile_headers(${target} PRIVATE ${headers})
        set_property(GLOBAL PROPERTY ORVANE_PCH_${set_name} ${target})
    endif()
    # The moc collection of a target whose classes are all in its sources is empty: without the
    # header it compiles in no time.
    set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/mocs_compilation.cpp
        TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
endfunction()

set(ORVANE_CORE_LAYERS orvane_platform orvane_db orvane_data orvane_import)
function(orvane_layer_pch_kind name out)
    if(name IN_LIST ORVANE_CORE_LAYERS)
        set(${out} core PARENT_SCOPE)
    else()
        set(${out} gui PARENT_SCOPE)
    endif()
endfunction()
