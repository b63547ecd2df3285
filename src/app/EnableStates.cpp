#include "app/EnableStates.h"

namespace {
using A = ButtonAction;
constexpr A K = A::Keep, N = A::On, F = A::Off, I = A::OnIfImage;

const A kTable[][kEnableStateButtonCount] = {
    //  Comm Start Stop Clear Store Read Write Open Flash
    {K, K, F, K, K, K, K, K, F},  // start-up
    {F, F, N, K, K, K, K, F, F},  // measuring
    {N, N, F, K, K, K, K, N, I},  // idle
    {F, F, F, F, F, F, F, F, F},  // flash writing
    {N, N, F, N, N, N, N, N, I},  // after-flash
    {K, K, K, K, K, K, K, K, N},  // image loaded
};
}

ButtonAction EnableStateAction(EnableState state, std::size_t button)
{
    if (button >= kEnableStateButtonCount) return ButtonAction::Keep;
    return kTable[static_cast<int>(state)][button];
}
