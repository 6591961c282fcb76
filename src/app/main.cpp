#include "app/manager_app.h"

int main(int argc, char** argv) {
    talq::app::ManagerApp app(argc, argv);
    return app.InitInstance();
}
