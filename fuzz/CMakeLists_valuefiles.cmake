# Fuzz targets for the value files. Included from fuzz/CMakeLists.txt once
# tiraso_add_fuzzer and the fuzzing flags on tiraso_options are in place.
#   build-fuzz/fuzz/fuzz_LastValues -max_total_time=600 <corpus dir>
#   build-fuzz/fuzz/fuzz_ValueSet -dict=fuzz/ValueSet.dict -max_total_time=600 <corpus dir>

# The codec is pure QtCore; building its source on its own keeps the fuzz
# programs free of the window, the controls and their widget libraries.
add_library(tiraso_valuefiles_fuzz STATIC ${PROJECT_SOURCE_DIR}/main/ValueFiles.cpp)
target_link_libraries(tiraso_valuefiles_fuzz PUBLIC tiraso_calc Qt6::Core)

tiraso_add_fuzzer(fuzz_LastValues ${CMAKE_CURRENT_LIST_DIR}/fuzz_LastValues.cpp tiraso_valuefiles_fuzz)
tiraso_add_fuzzer(fuzz_ValueSet ${CMAKE_CURRENT_LIST_DIR}/fuzz_ValueSet.cpp tiraso_valuefiles_fuzz)
