# What the Windows builds need beyond their toolchain: MinGW-w64 and clang-cl cross builds from
# Linux, and Visual Studio on Windows.

# The Windows API as our sources use it: wide-character names, no min/max macros, the lean
# header set, Windows 8 as the oldest system (the first with the Windows Runtime).
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0602)

if(MSVC)
    # Microsoft's compiler (and clang-cl, which reads its command line) as the standard reads
    # C++: sources in UTF-8, __cplusplus telling the truth, no permissive extensions.
    add_compile_options(/utf-8 /Zc:__cplusplus /permissive- /EHsc)
endif()

# Every DLL and executable in one folder, where Windows looks for a program's DLLs.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# utf8cpp and nlohmann-json are header-only. On Windows they come from the package manager
# (vcpkg.json). A cross build rightly refuses the build machine's packages (their configs live
# among its libraries), so there their headers are taken from the build machine's include folder
# alone, through a folder of their own, so that no other of its headers is visible.
# nlohmann-json serves the sample Windows host, which reads host descriptions.
if(NOT CMAKE_CROSSCOMPILING)
    find_package(utf8cpp CONFIG REQUIRED)
    find_package(nlohmann_json CONFIG REQUIRED)
    if(NOT TARGET utf8cpp AND TARGET utf8cpp::utf8cpp)
        add_library(utf8cpp INTERFACE IMPORTED)
        target_link_libraries(utf8cpp INTERFACE utf8cpp::utf8cpp)
    endif()
else()
    find_path(QUARN_UTF8CPP_ROOT utf8cpp/utf8.h PATHS /usr/include NO_DEFAULT_PATH
        NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    find_path(QUARN_NLOHMANN_ROOT nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH
        NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    set(quarn_target_include ${CMAKE_BINARY_DIR}/target-include)
    file(MAKE_DIRECTORY ${quarn_target_include})
    file(CREATE_LINK ${QUARN_UTF8CPP_ROOT}/utf8cpp ${quarn_target_include}/utf8cpp
        COPY_ON_ERROR SYMBOLIC)
    file(CREATE_LINK ${QUARN_NLOHMANN_ROOT}/nlohmann ${quarn_target_include}/nlohmann
        COPY_ON_ERROR SYMBOLIC)
    add_library(utf8cpp INTERFACE IMPORTED)
    set_target_properties(utf8cpp PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${quarn_target_include})
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES ${quarn_target_include})
    include_directories(SYSTEM ${quarn_target_include})
endif()

# How a Windows program of ours names a file of the source or build tree: under Wine, through its
# drive Z: (the root of the Linux file system); on Windows, as it is.
function(quarn_windows_path variable path)
    if(CMAKE_HOST_WIN32)
        file(TO_NATIVE_PATH ${path} native)
        set(${variable} ${native} PARENT_SCOPE)
    else()
        set(${variable} Z:${path} PARENT_SCOPE)
    endif()
endfunction()

# Moves the sources that dial/, overlay/, package/ and runtime/ add to QuarnWinRT into an object
# library, compiled once, of which both the DLL and the Windows test executable are made.
function(quarn_split_core_objects)
    get_target_property(core_sources QuarnWinRT SOURCES)
    add_library(quarn_core OBJECT ${core_sources})
    target_include_directories(quarn_core PUBLIC
        ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR})
    # Marked as building the DLL wherever the objects go, so their exports are definitions.
    target_compile_definitions(quarn_core PUBLIC QUARN_WINRT_BUILDING)
    target_link_libraries(quarn_core PUBLIC quarn_host quarn_platform PRIVATE quarn_warnings)
    set_property(TARGET QuarnWinRT PROPERTY SOURCES $<TARGET_OBJECTS:quarn_core>)
endfunction()
