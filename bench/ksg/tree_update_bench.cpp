// Cost of updating node trees and of the linear child lookups.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ksgNodeGroup.h"
#include "ksgScene.h"
#include "tree_bench_model.h"

namespace {

using ksgbench::joint;

// About 1,000 nodes: joints with three children each, breadth first,
// every joint with a body model.
ksgTransform* wideTree(int joints)
{
    std::vector<ksgTransform*> all;
    all.push_back(joint(nullptr, 0));
    for (int i = 1; i < joints; ++i)
        all.push_back(joint(all[static_cast<size_t>((i - 1) / 3)], i));
    return all[0];
}

void updateScene(benchmark::State& state, ksgTransform* root)
{
    ksgScene scene;
    scene.addRoot(root);
    float t = 0.0f;
    for (auto _ : state) {
        scene.update(t, true);
        t += 1.0f;
    }
    delete root;
}

void BM_UpdateHumanoid30Joints(benchmark::State& state)
{
    updateScene(state, ksgbench::humanoid()[0]);
}
BENCHMARK(BM_UpdateHumanoid30Joints)->Unit(benchmark::kMicrosecond);

// 500 joints with 500 body models: 1,000 nodes.
void BM_Update1000Nodes(benchmark::State& state) { updateScene(state, wideTree(500)); }
BENCHMARK(BM_Update1000Nodes)->Unit(benchmark::kMicrosecond);

ksgNode* flat(int children)
{
    ksgNode* root = new ksgNode;
    for (int i = 0; i < children; ++i) {
        ksgNode* c = new ksgNode;
        c->setName("c" + std::to_string(i));
        root->attachChild(c);
    }
    return root;
}

// Attaching appends at the end of the sibling chain and refreshes the
// parent's bounds: the cost of building a flat node of 1,000 children.
void BM_Attach1000Children(benchmark::State& state)
{
    for (auto _ : state)
        delete flat(1000);
}
BENCHMARK(BM_Attach1000Children)->Unit(benchmark::kMicrosecond);

// Every child by index: each getChild(i) walks the chain.
void BM_GetEveryChildByIndex1000(benchmark::State& state)
{
    ksgNode* root = flat(1000);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i)
            benchmark::DoNotOptimize(root->getChild(i));
    }
    delete root;
}
BENCHMARK(BM_GetEveryChildByIndex1000)->Unit(benchmark::kMicrosecond);

void BM_FindMissingIn1000(benchmark::State& state)
{
    ksgTransform* root = wideTree(500);
    for (auto _ : state)
        benchmark::DoNotOptimize(root->find("missing"));
    delete root;
}
BENCHMARK(BM_FindMissingIn1000)->Unit(benchmark::kMicrosecond);

void BM_GroupSubtreeOf1000(benchmark::State& state)
{
    ksgTransform* root = wideTree(500);
    for (auto _ : state) {
        ksgNodeGroup group("all");
        group.setMode(ksgNodeGroup::SUBTREE);
        group.addNode(root);
        benchmark::DoNotOptimize(group.hasNode(root));
        group.remNode(root);
    }
    delete root;
}
BENCHMARK(BM_GroupSubtreeOf1000)->Unit(benchmark::kMicrosecond);

} // namespace
