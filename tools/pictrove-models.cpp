// Prints a file made from the model table: pictrove-models udev|readme|modalias.
#include <cstdio>
#include <cstring>

#include "models/ModelFiles.h"

int main(int argc, char** argv) {
  std::string text;
  if (argc == 2 && strcmp(argv[1], "udev") == 0) text = models::UdevRule();
  if (argc == 2 && strcmp(argv[1], "readme") == 0) text = models::ReadmeModelList();
  if (argc == 2 && strcmp(argv[1], "modalias") == 0) text = models::Modaliases();
  if (text.empty()) {
    fputs("usage: pictrove-models udev|readme|modalias\n", stderr);
    return 2;
  }
  fputs(text.c_str(), stdout);
  return 0;
}
