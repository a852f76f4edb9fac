// The curve drawing of an earlier build, the reference for the picture tests.
#pragma once

namespace quarvel {
class MainWindow;
}

namespace quarvel::testing {

// What draw_curves drew before it read the arrays' summaries, drawn the same way it was then.
void reference_draw_curves(MainWindow& w);

}  // namespace quarvel::testing
