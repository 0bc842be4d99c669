// "New Mesh" (view resource 169): the size of a new map in cells, Cell Width (100)
// and Cell Height (101), both multiples of 32 from 32 to 512. The message (110) tells
// the colour map's size while the sizes are valid; OK (200) is enabled only then.
// Cancel is 201.
#pragma once

#include <string>

#include "framework/qt/XGForm.h"

class TNewMeshDialog : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 169;
    static constexpr int32_t kWidthField = 100;
    static constexpr int32_t kHeightField = 101;
    static constexpr int32_t kMessageText = 110;
    static constexpr int32_t kOK = 200;
    static constexpr int32_t kCancel = 201;
    static constexpr int32_t kDefaultCells = 192;

    // Shows the dialog; false when it was cancelled.
    static bool Run(int32_t& width, int32_t& height);

    void WindowBuilt() override;
    // The sizes typed; false when either is not a number.
    bool GetSizes(int32_t& width, int32_t& height) const;

private:
    bool Validate();
    int32_t DoChange(XGCode code, XGParam id, XGParam view);
    int32_t DoClick(XGCode code, XGParam id, XGParam view);

    int32_t fWidth = kDefaultCells;
    int32_t fHeight = kDefaultCells;
};
