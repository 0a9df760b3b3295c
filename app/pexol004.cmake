# The dictionary window's end-to-end tests: the whole program with the real windows, on the
# sample database, over the SQLite and PostgreSQL test sources.
pex_test(app_pexol004_test
  SOURCES pexol004_test.cpp
  DEPS app_testing app_windows catalog catalog_queues catalog_txd platform_keyed
    platform_testing_sample)
target_compile_definitions(app_pexol004_test PRIVATE
  PEX_APP_TESTDATA="${CMAKE_CURRENT_SOURCE_DIR}/testdata")

# On the Qt display: the same flow through the widgets, on the offscreen platform; with
# PEX_SCREENSHOT_DIR set (scripts/screenshot) it also writes a picture of the window.
if(PEX_BUILD_GUI)
  find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

  # The main function of the Qt tests, linked in place of GoogleTest's own.
  pex_library(app_qt_test_main
    SOURCES qt_test_main.cpp
    DEPS Qt6::Widgets GTest::gtest)

  pex_test(app_pexol004_qt_test
    SOURCES pexol004_qt_test.cpp
    DEPS app_qt_test_main platform_testing_qt app_testing app_windows catalog catalog_queues catalog_txd
      platform_keyed platform_testing_sample Qt6::Widgets)
  # Under the Qt application's locale the SQLite ODBC driver keeps some memory to the end;
  # the driver has no frame pointers, so only the slow unwinder names it for the suppressions.
  set_tests_properties(app_pexol004_qt_test PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    ENVIRONMENT_MODIFICATION "ASAN_OPTIONS=string_append::fast_unwind_on_malloc=0")
endif()
