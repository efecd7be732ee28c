// Entry points of the benchmark's optional modes, each in a file of its own.
#pragma once

namespace korvelan::bench {

// `korvelan-bench --logos N ...`: draws the logos of N motifs through the real logo wrapper.
int runLogoBenchmark(int argc, char** argv);

// `korvelan-bench --read FILE...`: times the reading of input files alone.
int runReadBenchmark(int argc, char** argv);

}  // namespace korvelan::bench
