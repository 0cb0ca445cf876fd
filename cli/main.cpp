#include <iostream>

#include "cli/convert.h"

int main(int argc, char** argv) {
  return mirotabe::RunConvert(argc, argv, std::cout, std::cerr);
}
