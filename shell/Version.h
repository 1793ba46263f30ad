#pragma once

namespace kx::shell {

// The version text shown in the main window's caption and the About box.
inline constexpr char16_t kVersionText[] = u"2.3 beta";

} // namespace kx::shell
