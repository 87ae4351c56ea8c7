#pragma once

// The Windows key codes the handlers are given: 46 for Delete. Other keys get
// no code, since Qt's own codes overlap the Windows ones ("." is 46 too).
namespace KeyCode {
constexpr int None = 0;
constexpr int Delete = 46;
}  // namespace KeyCode
