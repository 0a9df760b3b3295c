# The dictionary window's end-to-end tests: the whole program with the real windows, on the
# sample database, over the SQLite and PostgreSQL test sources. The windows' objects are
# linked directly, since the frame's library refers to them.
pex_test(app_pexol004_test
  SOURCES pexol004_test.cpp $<TARGET_OBJECTS:app>
  DEPS app_testing app_frame catalog catalog_queues catalog_txd platform_keyed
    platform_testing_sample)
target_compile_definitions(app_pexol004_test PRIVATE
  PEX_APP_TESTDATA="${CMAKE_CURRENT_SOURCE_DIR}/testdata")
