#include <gmock/gmock.h>

#include <cstdio>
#include <cstdlib>

#include "test_support.h"

int main(int argc, char** argv) {
  if (std::getenv("LUNARET_CORE_CHILD") != nullptr) {
    const lunaret::test::ChildRole* role = lunaret::test::ChildRoleOfThisProcess();
    if (role == nullptr) {
      std::fprintf(stderr, "unknown child role %s\n", std::getenv("LUNARET_CORE_CHILD"));
      return 2;
    }
    return (*role)();
  }
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
