#include <cstdio>

int main() {
    std::puts("kdformel-cli");
    return 0;
}
