#pragma once

// Whether the tests run under wine. Tests that change the user's settings (the default
// printer) or start the printer user interface run only there, in a throwaway prefix,
// never on a person's Windows.
bool RunningUnderWine();
