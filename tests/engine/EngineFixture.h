#pragma once
// A copy module or discovery module over the fault-injecting platform (sleeps
// instant) and a temporary tree, with the helpers most engine tests share.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/CopyModule.h"
#include "engine/EnumerationModule.h"
#include "platform/testing/FaultPlatform.h"
#include "tests/engine/CopyModuleTestSeam.h"
#include "tests/engine/TestTree.h"

class EngineTest : public ::testing::Test {
protected:
    EngineTest() { platform.SetInstantSleeps(true); }

    CopyModule& Copier() {
        if (!copier) copier = std::make_unique<CopyModule>(platform);
        return *copier;
    }

    // Sets a job up and runs the worker's body on this thread.
    void RunCopy(const std::wstring& sourceText, const std::wstring& destination, bool subfolders = true,
                 bool attributes = true) {
        Copier().Setup(sourceText, destination, subfolders, attributes);
        Copier().Run();
    }

    static std::vector<ItemResult> Drain(ItemQueue& queue) {
        std::vector<ItemResult> items;
        ItemResult item;
        while (queue.Pop(item)) items.push_back(item);
        return items;
    }

    TestTree tree;
    FaultPlatform platform{SystemPlatform()};
    std::unique_ptr<CopyModule> copier;
};

inline std::ostream& operator<<(std::ostream& out, const ItemResult& item) {
    std::string path, name;
    for (wchar_t c : item.path) path.push_back(static_cast<char>(c));
    for (wchar_t c : item.relativeName) name.push_back(static_cast<char>(c));
    return out << "{code " << static_cast<int>(item.code) << ", " << path << ", " << name << ", error " << item.error
               << (item.isFolder ? ", folder" : "") << "}";
}
