#include "main/SoftAd.h"

void SA_Initialize([[maybe_unused]] WId window, [[maybe_unused]] int32_t a,
    [[maybe_unused]] int32_t b, [[maybe_unused]] int32_t c)
{
}

void SA_InitMenuItem([[maybe_unused]] void* measureItem)
{
}

void SA_DrawMenuItem([[maybe_unused]] void* drawItem)
{
}

void SA_Cleanup()
{
}
