// The form the generators last wrote the program text in. The document keeps
// it so that the close prompt writes the newest picture in the form the user
// works in, and the recovery copy keeps it so that restored work does too.
#pragma once

namespace pasdraw {

// None: no generator has written the text (the text box as typed, opened or
// read from a picture's text); everything that rewrites it then uses
// Absolute. Slider: the origin the sliders set, XK and YK.
enum class GeneratedForm { None, Absolute, Value, Slider };

}  // namespace pasdraw
