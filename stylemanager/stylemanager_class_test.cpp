#include "stylemanager/stylemanager_class.h"

#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "restyle/restyle_class.h"

namespace stylemanager {
namespace {

TEST(ZOVStylemanagerClass, ARestyleObjectIsListedFromItsInitUntilItGoes) {
  ZOVStylemanagerClass manager;
  auto first = std::make_unique<restyle::ZOVRestyleClass>();
  restyle::ZOVRestyleClass second;
  restyle::ZOVRestyleClass never_initialised;
  EXPECT_EQ(first->Init(manager, "Main"), 0);
  EXPECT_EQ(second.Init(manager, "Pexolind"), 0);
  EXPECT_EQ(manager.restyle_objects(),
            (std::vector<restyle::ZOVRestyleClass*>{first.get(), &second}));
  first.reset();
  EXPECT_EQ(manager.restyle_objects(), (std::vector<restyle::ZOVRestyleClass*>{&second}));
}

}  // namespace
}  // namespace stylemanager
