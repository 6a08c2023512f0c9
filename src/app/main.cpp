#include "app/tessel_app.h"

int main(int argc, char** argv) {
    CTesselApp app(argc, argv);
    return app.Run();
}
