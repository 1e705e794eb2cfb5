// What the web page shows of one drawing before it is converted: the
// current layout as SVG with the place of every dimension, the line weights
// the entities carry, and the questions the conversion asks (the reference
// pick's candidates, the dialogs as their resources lay them out), found by
// running the conversion once with the default answers and writing nothing.
// Runs in a worker process ("dravolin serve --view FILE --target T").
#pragma once

#include <iosfwd>
#include <string>

namespace cli::serve {

// Prints the view as one JSON object (UTF-8). Returns the program's exit
// code; a drawing that cannot be read is reported on err.
int PrintDrawingView(const std::string& path, const std::string& target, std::ostream& out,
                     std::ostream& err);

}  // namespace cli::serve
