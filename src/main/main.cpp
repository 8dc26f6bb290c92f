// The quillmark executable. Until the application shell stands, it reports its version.

#include <cstdio>

int main() {
  std::printf("quillmark %s\n", QUILLMARK_VERSION);
  return 0;
}
