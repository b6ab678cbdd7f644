# The bodies of the fuzz targets and what they check against, shared by the
# fuzz targets (fuzz/) and the tests that replay their inputs, so that
# neither includes the other.
if(NOT TARGET korvane_fuzz_cases)
  add_library(korvane_fuzz_cases STATIC
    ${CMAKE_CURRENT_LIST_DIR}/EngineFuzzCases.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ReferenceMatcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/XmlFuzzCases.cpp
    ${CMAKE_CURRENT_LIST_DIR}/XmlRecordCheck.cpp
  )
  get_filename_component(korvane_tests_dir ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
  target_include_directories(korvane_fuzz_cases PUBLIC ${korvane_tests_dir})
  target_link_libraries(korvane_fuzz_cases PUBLIC korvane_engine korvane_xml
                        PRIVATE korvane_warnings)
endif()
