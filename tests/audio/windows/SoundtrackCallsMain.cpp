// Both soundtrack operations as the demo calls them, for a Windows link check.
#include "Soundtrack.h"

int main() {
    Soundtrack::open();
    Soundtrack::playLooping();
    return 0;
}
