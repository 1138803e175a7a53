#include <cstdio>

int main() {
    std::puts("usage: vexlor-cli COMMAND ...");
    return 2;
}
