#pragma once
// Junk inputs for running a fuzz harness body in the normal suite, so that the
// harness cannot rot and the readers meet damaged input on every build: every cut
// of a valid input, single-byte flips at every position, a few multi-byte
// mutations and random byte strings from a fixed seed, and the empty input.

#include <QByteArray>

#include <cstdint>
#include <random>
#include <vector>

inline std::vector<QByteArray> JunkInputs(const QByteArray& valid, uint32_t seed, int randomInputs = 200) {
  std::vector<QByteArray> inputs;
  inputs.emplace_back();
  for (qsizetype cut = 1; cut < valid.size(); ++cut) inputs.push_back(valid.left(cut));
  for (qsizetype at = 0; at < valid.size(); ++at)
    for (uint8_t mask : {0x01, 0x80, 0xFF}) {
      QByteArray flipped = valid;
      flipped[at] = static_cast<char>(flipped[at] ^ mask);
      inputs.push_back(flipped);
    }
  std::mt19937 random(seed);
  auto below = [&random](int64_t n) { return std::uniform_int_distribution<int64_t>(0, n - 1)(random); };
  for (int i = 0; i < randomInputs && !valid.isEmpty(); ++i) {
    QByteArray mutated = valid;
    for (int64_t n = 2 + below(6); n > 0; --n)
      mutated[static_cast<qsizetype>(below(mutated.size()))] = static_cast<char>(below(256));
    inputs.push_back(mutated);
  }
  for (int i = 0; i < randomInputs; ++i) {
    QByteArray bytes(static_cast<qsizetype>(below(2 * valid.size() + 64)), '\0');
    for (char& b : bytes) b = static_cast<char>(below(256));
    inputs.push_back(bytes);
  }
  return inputs;
}

// A harness body fed with `selector` as its first byte and `bytes` behind it.
template <typename Body>
auto RunWithSelector(Body body, uint8_t selector, const QByteArray& bytes) {
  QByteArray input(1, static_cast<char>(selector));
  input += bytes;
  return body(reinterpret_cast<const uint8_t*>(input.constData()), static_cast<size_t>(input.size()));
}
