// The all-tags window's refresh over 20,000 tags, beside a plain QTreeWidget filled
// with the same rows and sorted by Qt itself; and its filter box narrowing the 20,000
// tags as one types, beside a plain QTreeWidget filled with the rows whose name, id or
// type holds the same text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTreeWidget>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <sys/stat.h>

#include "bench_support.h"
#include "shell/TAllTagForm.h"
#include "shell/TTagTreeForm.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"
#include "tags/tag_file_format.h"
#include "tags/tag_types.h"

namespace {

constexpr int kFiles = 40;
constexpr int kTagsPerFile = 500;

struct Editor {
    BenchFolder folder;
    std::unique_ptr<TTolvaneApp> app;
    TAllTagForm* all = nullptr;

    Editor()
    {
        std::string plugins = folder.path() + "/plugins";
        ::mkdir(plugins.c_str(), 0755);
        TTagStore store;
        const tag_code types[] = {"soun"_4cc, "mons"_4cc, "proj"_4cc, "rawd"_4cc, "txst"_4cc};
        uint32_t seed = 12345;
        for (int i = 0; i < kFiles; ++i) {
            tag_file* f = store.new_tag_file();
            for (int k = 0; k < kTagsPerFile; ++k) {
                seed = seed * 1103515245u + 12345u;
                char name[32];
                std::snprintf(name, sizeof name, "%c%c tag %u", 'A' + (seed >> 8) % 26, 'a' + (seed >> 16) % 26,
                              seed % 100000);
                store.create_tag(f, types[k % 5], 0x61616161 + uint32_t(i * kTagsPerFile + k), 1, name, 0, 4, "data");
            }
            char path[64];
            std::snprintf(path, sizeof path, "/file%02d.tag", i);
            if (!write_tag_file(f, plugins + path, TAG_FILE_TYPE_PLUGIN, true)) std::abort();
        }
        app = std::make_unique<TTolvaneApp>(folder.path());
        app->Initialize();
        all = app->ShowAllTagWindow();
    }
};

// Made on first use and destroyed by main before the QApplication it needs.
std::unique_ptr<Editor>& EditorSlot()
{
    static std::unique_ptr<Editor> editor;
    return editor;
}

Editor& TheEditor()
{
    if (!EditorSlot()) EditorSlot() = std::make_unique<Editor>();
    return *EditorSlot();
}

void BM_AllTagsRefresh(benchmark::State& state)
{
    Editor& e = TheEditor();
    for (auto _ : state) e.all->Refresh(true);
    state.counters["rows"] = e.all->GetTree()->GetItemCount();
}

void BM_ReferenceQtTreeFill(benchmark::State& state)
{
    Editor& e = TheEditor();
    QTreeWidget tree;
    for (auto _ : state) {
        tree.clear();
        std::map<tag_code, QTreeWidgetItem*> typeRows;
        for (tag_file* f = e.app->GetStore().first_file(); f; f = f->next)
            for (tag_group* g = f->groups; g; g = g->next) {
                QTreeWidgetItem*& row = typeRows[g->type];
                if (!row) {
                    row = new QTreeWidgetItem(QStringList(QString::fromLatin1(tag_type_plural_name(g->type))));
                    tree.addTopLevelItem(row);
                }
                for (tag_entry* t = g->entries; t; t = t->next)
                    row->addChild(new QTreeWidgetItem(
                        QStringList(QString::fromLatin1(TTagTreeForm::TagRowText(t).c_str()))));
            }
        tree.sortItems(0, Qt::AscendingOrder);
    }
}

// Typing into the filter box: each keystroke narrows the tree again. The texts match a
// few hundred of the names.
const char* const kTyped[] = {"qa", "qb", "tag 12", "soun"};

void BM_AllTagsFilter(benchmark::State& state)
{
    Editor& e = TheEditor();
    size_t i = 0;
    for (auto _ : state) e.all->SetFilter(kTyped[i++ % 4]);
    state.counters["rows"] = e.all->GetTree()->GetItemCount();
    e.all->SetFilter("");
}

void BM_ReferenceQtTreeFilter(benchmark::State& state)
{
    Editor& e = TheEditor();
    QTreeWidget tree;
    size_t i = 0;
    for (auto _ : state) {
        std::string typed = kTyped[i++ % 4];
        tree.clear();
        std::map<tag_code, QTreeWidgetItem*> typeRows;
        for (tag_file* f = e.app->GetStore().first_file(); f; f = f->next)
            for (tag_group* g = f->groups; g; g = g->next)
                for (tag_entry* t = g->entries; t; t = t->next) {
                    // name, id, type code or type name, ignoring case
                    std::string text = std::string(t->name) + "\n" + tag_code_to_text(t->id) + "\n" +
                                       tag_code_to_text(g->type) + "\n" + tag_type_plural_name(g->type);
                    for (char& c : text) c = char(std::tolower(uint8_t(c)));
                    if (text.find(typed) == std::string::npos) continue;
                    QTreeWidgetItem*& row = typeRows[g->type];
                    if (!row) {
                        row = new QTreeWidgetItem(QStringList(QString::fromLatin1(tag_type_plural_name(g->type))));
                        tree.addTopLevelItem(row);
                    }
                    row->addChild(new QTreeWidgetItem(
                        QStringList(QString::fromLatin1(TTagTreeForm::TagRowText(t).c_str()))));
                }
        tree.sortItems(0, Qt::AscendingOrder);
    }
}

BENCHMARK(BM_AllTagsRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceQtTreeFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AllTagsFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceQtTreeFilter)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication qt(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    EditorSlot().reset();
    return 0;
}
