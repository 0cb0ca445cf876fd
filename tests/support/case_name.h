// The names of the cases of a parameterised test: each case is named after
// its `name` member, so that a failure says which row of the table failed.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace mirotabe::testing_support {

// Pass as the last argument of INSTANTIATE_TEST_SUITE_P.
struct CaseName {
  template <typename Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    return std::string(info.param.name);
  }
};

}  // namespace mirotabe::testing_support
