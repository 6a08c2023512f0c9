#include "app/tessel_app.h"
#include "job/huge_page_heap.h"

int main(int argc, char** argv) {
    RestartWithHugePageHeap(argv);
    CTesselApp app(argc, argv);
    return app.Run();
}
