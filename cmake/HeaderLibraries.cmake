# The header-only libraries: nlohmann-json writes the games as JSON (list --json, the page), CLI11
# parses the command line's options. Both come from Debian. The native builds take them through their CMake packages; the
# Windows cross build sees only the mingw-w64 tree, so it is given a folder of its own that holds
# links to just these two headers' folders, never the rest of the system's /usr/include.
if(CMAKE_CROSSCOMPILING)
  set(VELKORIN_HEADER_LIBRARIES ${CMAKE_BINARY_DIR}/header-libraries)
  file(MAKE_DIRECTORY ${VELKORIN_HEADER_LIBRARIES})
  foreach(header IN ITEMS nlohmann/json.hpp CLI/CLI.hpp)
    string(MAKE_C_IDENTIFIER ${header} variable)
    find_path(VELKORIN_${variable}_DIR ${header} PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    get_filename_component(folder ${header} DIRECTORY)
    file(CREATE_LINK ${VELKORIN_${variable}_DIR}/${folder} ${VELKORIN_HEADER_LIBRARIES}/${folder} SYMBOLIC)
  endforeach()
  foreach(target IN ITEMS nlohmann_json::nlohmann_json CLI11::CLI11)
    add_library(${target} INTERFACE IMPORTED)
    target_include_directories(${target} SYSTEM INTERFACE ${VELKORIN_HEADER_LIBRARIES})
  endforeach()
else()
  find_package(nlohmann_json 3 REQUIRED)
  find_package(CLI11 2 REQUIRED)
endif()
