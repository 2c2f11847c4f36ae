// Evaluations per second of typical argument expressions, each beside a
// peer in the same run: the same computation written directly in C++ over
// the variable table ("native"), so the figures read as an interpretation
// overhead ratio.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "host/engine.h"
#include "platform/headless/platform_headless.h"
#include "platform/platform.h"
#include "tools/writers/expr_encoder.h"
#include "values/evaluator.h"
#include "values/variables.h"

namespace {

namespace w = nv::writers;
using nv::expr::Op;

struct Bench {
  nv::platform::Platform host;
  std::unique_ptr<nv::Engine> e;
  Bench() {
    nv::platform::HeadlessOptions o;
    o.title_dir = "/nonexistent";
    host = nv::platform::make_headless_platform(o);
    e = std::make_unique<nv::Engine>(host);
    e->vars.vars.resize(1100);
    std::vector<int32_t> dims{64};
    nv::create_integer(*e, 1000, {}, 7);     // i
    nv::create_integer(*e, 1001, dims, 3);   // table[64]
    nv::create_float(*e, 1002, {}, 0.5);     // f
    nv::create_string(*e, 1003, {}, "bg");  // name
  }
};

void run_int(benchmark::State& state, const w::Expr& x, int selector) {
  Bench b;
  const auto& bytes = x.bytes();
  for (auto _ : state) benchmark::DoNotOptimize(nv::eval_int(*b.e, bytes, selector));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()));
}

// ID=5
void Eval_Constant(benchmark::State& s) { run_int(s, w::Expr::integer(5), 1); }
void Native_Constant(benchmark::State& s) {
  int64_t v = 5;
  for (auto _ : s) benchmark::DoNotOptimize(v);
  s.SetItemsProcessed(static_cast<int64_t>(s.iterations()));
}

// X=i*2+10
w::Expr arith() { return w::Expr().scalar(1000).push_int(2).op(Op::kMul).push_int(10).op(Op::kAdd); }
void Eval_Arithmetic(benchmark::State& s) { run_int(s, arith(), 1); }
void Native_Arithmetic(benchmark::State& s) {
  Bench b;
  for (auto _ : s) benchmark::DoNotOptimize(nv::read_int(b.e->vars.vars[1000], 0) * 2 + 10);
  s.SetItemsProcessed(static_cast<int64_t>(s.iterations()));
}

// Y=table[i+1]
w::Expr element() { return w::Expr().element(1001).scalar(1000).push_int(1).op(Op::kAdd).close(); }
void Eval_Element(benchmark::State& s) { run_int(s, element(), 1); }
void Native_Element(benchmark::State& s) {
  Bench b;
  for (auto _ : s) {
    int64_t k = nv::read_int(b.e->vars.vars[1000], 0) + 1;
    benchmark::DoNotOptimize(nv::read_int(b.e->vars.vars[1001], k));
  }
  s.SetItemsProcessed(static_cast<int64_t>(s.iterations()));
}

// A=f*256 (float arithmetic, integer result)
w::Expr scaled() { return w::Expr().scalar(1002).push_float(256.0).op(Op::kMul); }
void Eval_FloatScaled(benchmark::State& s) { run_int(s, scaled(), 2); }
void Native_FloatScaled(benchmark::State& s) {
  Bench b;
  for (auto _ : s) benchmark::DoNotOptimize(nv::truncate_to_int(nv::read_float(b.e->vars.vars[1002], 0) * 256.0));
  s.SetItemsProcessed(static_cast<int64_t>(s.iterations()));
}

// IF i>3 & i<10
w::Expr condition() {
  return w::Expr().scalar(1000).push_int(3).op(Op::kGreater).scalar(1000).push_int(10).op(Op::kLess).op(
      Op::kLogicalAnd);
}
void Eval_Condition(benchmark::State& s) { run_int(s, condition(), 1); }
void Native_Condition(benchmark::State& s) {
  Bench b;
  for (auto _ : s) {
    int64_t i = nv::read_int(b.e->vars.vars[1000], 0);
    benchmark::DoNotOptimize(i > 3 && i < 10);
  }
  s.SetItemsProcessed(static_cast<int64_t>(s.iterations()));
}

// FILE=name+"_"+i (string result with a conversion)
w::Expr file_name() {
  return w::Expr().scalar(1003).push_text("_").op(Op::kAdd).scalar(1000).op(Op::kToString).op(Op::kAdd);
}
void Eval_StringBuild(benchmark::State& s) {
  Bench b;
  w::Expr x = file_name();
  char out[nv::kTextBufferSize];
  for (auto _ : s) benchmark::DoNotOptimize(nv::eval_string(*b.e, x.bytes(), 3, out));
  s.SetItemsProcessed(static_cast<int64_t>(s.iterations()));
}
void Native_StringBuild(benchmark::State& s) {
  Bench b;
  char out[nv::kTextBufferSize];
  for (auto _ : s) {
    std::string_view name = nv::read_text(b.e->vars.vars[1003], 0);
    std::memcpy(out, name.data(), name.size());
    size_t n = name.size();
    out[n++] = '_';
    n += static_cast<size_t>(
        std::snprintf(out + n, sizeof out - n, "%lld", static_cast<long long>(nv::read_int(b.e->vars.vars[1000], 0))));
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  s.SetItemsProcessed(static_cast<int64_t>(s.iterations()));
}

BENCHMARK(Eval_Constant);
BENCHMARK(Native_Constant);
BENCHMARK(Eval_Arithmetic);
BENCHMARK(Native_Arithmetic);
BENCHMARK(Eval_Element);
BENCHMARK(Native_Element);
BENCHMARK(Eval_FloatScaled);
BENCHMARK(Native_FloatScaled);
BENCHMARK(Eval_Condition);
BENCHMARK(Native_Condition);
BENCHMARK(Eval_StringBuild);
BENCHMARK(Native_StringBuild);

}  // namespace

BENCHMARK_MAIN();
