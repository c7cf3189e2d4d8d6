#include "app/my_app.h"

namespace {

constexpr int kUpdatesPerSecond = 60;

}  // namespace

int c_MyApp::OnSetup() {
    SetTickRate(kUpdatesPerSecond);
    return 0;
}
