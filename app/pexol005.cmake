# The query window's and the query builder's tests with the scripted user, over the SQLite
# and PostgreSQL test sources.
pex_test(app_query_window_test
  SOURCES pexol005_test.cpp pexol005_program_test.cpp pexol006_test.cpp
  DEPS app_testing app_windows catalog catalog_queues catalog_txd platform_keyed platform_headless
    platform_testing_odbc)
target_compile_definitions(app_query_window_test PRIVATE
  PEX_APP_TESTDATA="${CMAKE_CURRENT_SOURCE_DIR}/testdata")

# On the Qt display (offscreen platform): the 100,000-row result in the virtual list and the
# builder's spin over a connector; with PEX_SCREENSHOT_DIR set it also writes pictures.
if(PEX_BUILD_GUI)
  pex_test(app_query_window_qt_test
    SOURCES pexol005_qt_test.cpp
    DEPS platform_testing_qt app_testing app_windows catalog catalog_queues catalog_txd platform_keyed
      platform_testing_odbc Qt6::Widgets Qt6::Test)
  # As for the dictionary window's Qt test: the SQLite ODBC driver keeps some memory to the end
  # under the Qt application's locale, which only the slow unwinder names for the suppressions.
  set_tests_properties(app_query_window_qt_test PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_append::fast_unwind_on_malloc=0")
endif()
