# folioteca_widget_test(name sources...): one offscreen GoogleTest executable.
function(folioteca_widget_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE folioteca_soporte)
  gtest_discover_tests(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
                       DISCOVERY_TIMEOUT 60)
endfunction()

# folioteca_widget_tests(a b ...): test_a from test_a.cpp, for each name.
function(folioteca_widget_tests)
  foreach(t ${ARGN})
    folioteca_widget_test(test_${t} test_${t}.cpp)
  endforeach()
endfunction()
