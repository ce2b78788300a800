#include <cstdio>
int main() { std::puts("kelvane"); return 0; }
