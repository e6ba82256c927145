# libFuzzer targets: every fuzz/*_fuzz.cpp becomes one target over the core, which is
# instrumented for coverage (see the KVELTAR_FUZZ settings in CMakeLists.txt).
file(GLOB KVELTAR_FUZZ_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/*_fuzz.cpp)
foreach(source ${KVELTAR_FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE kveltar_core kveltar_host_scene)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endforeach()
