// The windows are tested with real widgets and real events on Qt's
// offscreen platform, which needs no display.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/support/child_roles.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  if (int status = 0; mirotabe::testing_support::PlayChildRoleIfAsked(status)) return status;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
