# Benchmarks. speed_ratios is the one timing program of both builds (it runs natively
# and under Wine); every bench/*_bench.cpp is a Google Benchmark program of the native
# build. Each prints its measurements as ratios against a baseline measured in the
# same run.
add_executable(speed_ratios ${PROJECT_SOURCE_DIR}/bench/speed_ratios.cpp)
target_include_directories(speed_ratios PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/bench)
target_link_libraries(speed_ratios PRIVATE kveltar_core kveltar_host_scene)
set_target_properties(speed_ratios PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
if(WIN32)
  target_link_options(speed_ratios PRIVATE ${KVELTAR_STATIC_RUNTIME})
  return()
endif()

find_package(benchmark REQUIRED)
file(GLOB KVELTAR_BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*_bench.cpp)
foreach(source ${KVELTAR_BENCH_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/bench)
  target_link_libraries(${name} PRIVATE kveltar_core kveltar_host_scene benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE KVELTAR_NATIVE_PLUGIN="$<TARGET_FILE:kveltar_plugin>")
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endforeach()

# The native baseline of the web module's speed (bench/web_speed.mjs runs both).
add_executable(web_baseline ${PROJECT_SOURCE_DIR}/bench/web_baseline.cpp)
target_include_directories(web_baseline PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/bench)
target_link_libraries(web_baseline PRIVATE kveltar_host_scene)
target_compile_definitions(web_baseline PRIVATE KVELTAR_NATIVE_PLUGIN="$<TARGET_FILE:kveltar_plugin>")
set_target_properties(web_baseline PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
