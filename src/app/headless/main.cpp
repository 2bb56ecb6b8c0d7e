// korvo-headless: start-up, settings and orderly shut-down without windows.
#include <iostream>
#include <string>
#include <vector>

#include "app/headless/headless_app.h"

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  korvo::HeadlessApp app(std::cout);
  return app.Run(arguments);
}
