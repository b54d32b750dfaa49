#include "engine/block_transform.h"

#include <cmath>
#include <numbers>

BlockTransform::BlockTransform()
    : twist(2 * kMaxSlots), roots(kMaxSlots), twistPairs(8 * kMaxSlots), rootPairs(4 * kMaxSlots) {
    const double pi = std::numbers::pi;
    for (int r = 0; r < kMaxSlots; ++r) {
        const double angle = pi * r / (2 * kMaxSlots);
        twist[2 * r] = std::cos(angle);
        twist[2 * r + 1] = std::sin(angle);
    }
    for (int r = 0; r < kMaxSlots / 2; ++r) {
        const double angle = 2.0 * pi * r / kMaxSlots;
        roots[2 * r] = std::cos(angle);
        roots[2 * r + 1] = std::sin(angle);
    }
    for (int k = kMinSlots; k <= kMaxSlots; k <<= 1) {
        double* c = twistPairs.data() + 4 * k;
        double* s = c + 2 * k;
        for (int j = 0; j < k; ++j) {
            c[2 * j] = c[2 * j + 1] = twist[2 * j * (kMaxSlots / k)];
            s[2 * j] = s[2 * j + 1] = twist[2 * j * (kMaxSlots / k) + 1];
        }
    }
    for (int half = 1; half < kMaxSlots; half <<= 1) {
        double* c = rootPairs.data() + 4 * half;
        double* s = c + 2 * half;
        const int stride = kMaxSlots / (2 * half);
        for (int r = 0; r < half; ++r) {
            c[2 * r] = c[2 * r + 1] = roots[2 * r * stride];
            s[2 * r] = s[2 * r + 1] = roots[2 * r * stride + 1];
        }
    }
}

template <int K> void BlockTransform::forwardFixed(double* z) const {
    constexpr int twistStride = kMaxSlots / K;
    for (int j = 0; j < K; ++j) {
        const double c = twist[2 * j * twistStride], s = twist[2 * j * twistStride + 1];
        const double re = z[2 * j], im = z[2 * j + 1];
        z[2 * j] = re * c - im * s;
        z[2 * j + 1] = re * s + im * c;
    }
    for (int len = K; len >= 2; len >>= 1) {
        const int half = len >> 1;
        const int rootStride = kMaxSlots / len;
        for (int start = 0; start < K; start += len) {
            for (int r = 0; r < half; ++r) {
                double* a = z + 2 * (start + r);
                double* b = a + 2 * half;
                const double c = roots[2 * r * rootStride], s = roots[2 * r * rootStride + 1];
                const double sumRe = a[0] + b[0], sumIm = a[1] + b[1];
                const double difRe = a[0] - b[0], difIm = a[1] - b[1];
                a[0] = sumRe;
                a[1] = sumIm;
                b[0] = difRe * c - difIm * s;
                b[1] = difRe * s + difIm * c;
            }
        }
    }
}

template <int K> void BlockTransform::inverseFixed(double* z) const {
    for (int len = 2; len <= K; len <<= 1) {
        const int half = len >> 1;
        const int rootStride = kMaxSlots / len;
        for (int start = 0; start < K; start += len) {
            for (int r = 0; r < half; ++r) {
                double* a = z + 2 * (start + r);
                double* b = a + 2 * half;
                const double c = roots[2 * r * rootStride], s = roots[2 * r * rootStride + 1];
                // b · conj(root)
                const double bRe = b[0] * c + b[1] * s, bIm = b[1] * c - b[0] * s;
                const double aRe = a[0], aIm = a[1];
                a[0] = aRe + bRe;
                a[1] = aIm + bIm;
                b[0] = aRe - bRe;
                b[1] = aIm - bIm;
            }
        }
    }
    constexpr int twistStride = kMaxSlots / K;
    for (int j = 0; j < K; ++j) {
        const double c = twist[2 * j * twistStride], s = twist[2 * j * twistStride + 1];
        const double re = z[2 * j], im = z[2 * j + 1];
        z[2 * j] = re * c + im * s;
        z[2 * j + 1] = im * c - re * s;
    }
}

void BlockTransform::forward(double* z, int slots) const {
    switch (slots) {
    case 8:
        forwardFixed<8>(z);
        break;
    case 16:
        forwardFixed<16>(z);
        break;
    case 32:
        forwardFixed<32>(z);
        break;
    case 64:
        forwardFixed<64>(z);
        break;
    case 128:
        forwardFixed<128>(z);
        break;
    case 256:
        forwardFixed<256>(z);
        break;
    default:
        break;
    }
}

void BlockTransform::inverse(double* z, int slots) const {
    switch (slots) {
    case 8:
        inverseFixed<8>(z);
        break;
    case 16:
        inverseFixed<16>(z);
        break;
    case 32:
        inverseFixed<32>(z);
        break;
    case 64:
        inverseFixed<64>(z);
        break;
    case 128:
        inverseFixed<128>(z);
        break;
    case 256:
        inverseFixed<256>(z);
        break;
    default:
        break;
    }
}
