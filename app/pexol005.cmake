# The query window's and the query builder's tests with the scripted user, over the SQLite
# and PostgreSQL test sources. The windows' objects are linked directly, since the frame's
# library refers to them.
pex_test(app_query_window_test
  SOURCES pexol005_test.cpp pexol006_test.cpp $<TARGET_OBJECTS:app>
  DEPS app_frame catalog catalog_queues catalog_txd platform_keyed platform_headless
    platform_testing_odbc)
target_compile_definitions(app_query_window_test PRIVATE
  PEX_APP_TESTDATA="${CMAKE_CURRENT_SOURCE_DIR}/testdata")
