# Brings the optimised program that the end-to-end tests start up to date with its sources, as ./run builds it, so
# that a run of ctest alone never tests an old one. Usage: cmake -DSOURCE=<the source folder> -P this file.
set(build "${SOURCE}/build-release")
if(NOT EXISTS "${build}/CMakeCache.txt")
  execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE}" -B "${build}" -G Ninja -DCMAKE_BUILD_TYPE=Release
                          -DKORVO_TESTS=OFF -DKORVO_BENCH=OFF
                  RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not configure ${build}")
  endif()
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${build}" --target korvo RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not build the optimised program in ${build}")
endif()
