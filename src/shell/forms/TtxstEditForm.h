// Texture stack editor: every stack and its textures as rows of a list (a preview and
// three lines of text for each texture, several rows may be selected), Texture Info,
// recompression, Split RGBA and Merge RGB and A (the Special menu), images added and
// layered images imported into a stack, stacks and textures made, deleted and moved,
// a large picture of the selected texture and its export as PNG or JPEG.
#pragma once

#include <future>
#include <memory>
#include <string>
#include <vector>

#include "shell/TTagEditForm.h"
#include "texture/texture_image.h"
#include "texture/texture_set.h"

class TtxstEditForm : public TTagEditForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 129;
    enum : int32_t {
        kList = 12900,
        kTextureInfo = 12901,
        kRecompress = 12902,
        kAddImage = 12903,
        kImportLayers = 12904,
        kNewStack = 12905,
        kDelete = 12906,
        kMoveUp = 12907,
        kMoveDown = 12908,
        kExport = 12909,
        kPreview = 12910,
        kZoom = 12911,
        kAlpha = 12912,
        kPreviewText = 12913,
    };
    // The Special menu's commands.
    enum : int32_t {
        kCommandSplitRGBA = 1002,
        kCommandMergeRGBAndA = 1003,
        kCommandRecompressTextures = 1004,
    };

    // A row of the list: a stack, or a texture of it.
    struct Row {
        uint32_t stack;
        int32_t texture; // -1 for the stack's own row
    };

    explicit TtxstEditForm(tag_entry* e);
    ~TtxstEditForm() override;

    void LoadTag() override;
    bool HasChanges() override;
    void ApplyChanges() override;

    texture_set* GetSet() const { return fSet.get(); }
    const std::vector<Row>& GetRows() const { return fRows; }
    // The selected textures in list order (a selected stack row stands for none).
    std::vector<stacked_texture*> SelectedTextures() const;
    // Selects the rows of these textures.
    void SelectTextures(const std::vector<const stacked_texture*>& textures);

    void SplitRGBA();
    void MergeRGBAndA();
    void RecompressTextures();
    void ShowTextureInfo();
    void AddImage();
    void ImportLayers();
    void NewStack();
    void DeleteSelection();
    void Move(int direction);
    void Export();

protected:
    bool HandleControl(XGCode message, int32_t control) override;

private:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);
    // Rebuilds the rows; selected rows are those of the textures (or stacks) given.
    void FillList(const std::vector<const stacked_texture*>& textures, int selected_stack = -1);
    void Changed(const std::vector<const stacked_texture*>& select, int selected_stack = -1);
    void UpdateControls();
    void ShowPreview();
    void ShowZoom();
    std::vector<Row> SelectedRows() const;
    std::string Describe(const stacked_texture* t) const;
    // Where new textures go: the stack and position after the selection.
    void InsertionPoint(uint32_t* stack, int* position);
    bool CanMerge() const;

    // The set read when the form is made, its previews made on another thread while the
    // window is built; LoadTag takes it when the tag's data is still these bytes.
    struct Prepared {
        std::vector<uint8_t> bytes;
        std::unique_ptr<texture_set> set;
        uint32_t side = 0;
        std::future<void> previews;
    };
    void PrepareSet();
    std::unique_ptr<texture_set> TakePreparedSet();

    Prepared fPrepared;
    uint32_t fPreviewSide = 0; // the side the set's previews were made for
    std::unique_ptr<texture_set> fSet;
    std::vector<Row> fRows;
    const stacked_texture* fPreviewed = nullptr;
    texture_image fLarge; // the previewed texture at full size
};
