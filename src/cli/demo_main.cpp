#include <cstdio>

int main() {
    std::printf("Fabulor engine demo\n");
    return 0;
}
