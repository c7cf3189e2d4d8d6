#include <cstdio>

// Until the host layer exists the executable only says so.
int main() {
    std::puts("Grimalou: the runtime is built; the window, the loop and the face are not there yet.");
    return 0;
}
