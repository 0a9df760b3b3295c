# The catalog queues, the custom field-types file and the TXD writer.
pex_library(catalog_queues
  SOURCES catalog_queues.cpp
  DEPS platform_core)

pex_test(catalog_queues_test
  SOURCES catalog_queues_test.cpp
  DEPS catalog_queues)
