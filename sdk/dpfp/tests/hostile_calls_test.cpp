// Arguments that no bridge under test passes: short, negative and absurd
// sizes, null pointers, sets of the wrong kind. Every buffer is a heap block of
// exactly the size the call is told, so that the native build's
// AddressSanitizer reports any byte read or written past it.
#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "sample_picture.h"
#include "simulator.h"

namespace dpfpsim {
namespace {

using Bytes = std::vector<uint8_t>;

// A heap block of exactly `size` bytes holding the first `size` of `data`
// (the rest 0xEE when `data` is shorter).
std::unique_ptr<uint8_t[]> Block(const Bytes& data, size_t size) {
    auto block = std::make_unique<uint8_t[]>(size);
    std::memset(block.get(), 0xEE, size);
    if (!data.empty()) std::memcpy(block.get(), data.data(), std::min(size, data.size()));
    return block;
}

bool Untouched(const uint8_t* data, size_t size) {
    return std::all_of(data, data + size, [](uint8_t b) { return b == 0xEE; });
}

class HostileCalls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sim.Init(), 0);
        ASSERT_EQ(sim.FxInit(), 0);
        ASSERT_EQ(sim.McInit(), 0);
        ASSERT_EQ(sim.FxCreateContext(&fx), 0);
        ASSERT_EQ(sim.McCreateContext(&mc), 0);
    }

    // A sample of `finger` as the reader hands it out with an event.
    const DPFP_SAMPLE* TakeSample(int finger) {
        EXPECT_EQ(sim.Configure(("delay=0;events=sample,hold;finger=" + std::to_string(finger)).c_str()), 0);
        DPFP_READER_ID any{};
        DPFP_ACQUISITION acquisition = 0;
        int window = 0;
        EXPECT_EQ(sim.CreateAcquisition(3, &any, 4, &window, 2024, &acquisition), 0);
        EXPECT_EQ(sim.StartAcquisition(acquisition), 0);
        std::unique_lock<std::mutex> lock(mutex);
        posted.wait(lock, [&] { return !events.empty(); });
        const PostedEvent event = events.back();
        events.clear();
        return reinterpret_cast<const DPFP_SAMPLE*>(event.data);
    }

    Bytes Features(int finger, bool registration) {
        Bytes out(static_cast<size_t>(sim.MakeFeatures(finger, registration, nullptr, 0)));
        EXPECT_EQ(sim.MakeFeatures(finger, registration, out.data(), static_cast<int32_t>(out.size())),
                  static_cast<int32_t>(out.size()));
        return out;
    }

    Bytes PreRegistrationSet(int finger) {
        const DPFP_SAMPLE* sample = TakeSample(finger);
        Bytes set(512);
        int32_t created = 0;
        EXPECT_EQ(sim.FxExtractFeatures(fx, static_cast<int32_t>(sample->size), sample->data, 0, 512, set.data(),
                                        nullptr, nullptr, &created),
                  0);
        EXPECT_EQ(created, 1);
        return set;
    }

    std::mutex mutex;
    std::condition_variable posted;
    std::vector<PostedEvent> events;
    Simulator sim{nullptr, [this](const PostedEvent& e) {
                      std::lock_guard<std::mutex> lock(mutex);
                      events.push_back(e);
                      posted.notify_all();
                      return true;
                  }};
    FX_CONTEXT fx = 0;
    MC_CONTEXT mc = 0;
};

TEST_F(HostileCalls, DeviceSerialsFillTheFieldAndNeverPassTheRecord) {
    const std::string serial139(139, 'A');
    const std::string serial300(300, 'Q');
    ASSERT_EQ(sim.Configure(("devices=" + serial139 + "," + serial300).c_str()), 0);
    uint32_t count = 0;
    DPFP_READER_ID* readers = nullptr;
    ASSERT_EQ(sim.EnumerateDevices(&count, &readers), 0);
    ASSERT_EQ(count, 2u);

    for (uint32_t i = 0; i < count; ++i) {
        auto info = std::make_unique<DPFP_DEVICE_INFO>();
        static_assert(sizeof(DPFP_DEVICE_INFO) == DPFP_DEVICE_INFO_SIZE, "the record's size");
        ASSERT_EQ(sim.GetDeviceInfo(&readers[i], info.get()), 0);
        const uint16_t* units = info->serialNumber;
        EXPECT_EQ(units[0], i == 0 ? 'A' : 'Q');
        EXPECT_EQ(units[138], i == 0 ? 'A' : 'Q');
        EXPECT_EQ(units[139], i == 0 ? 0 : 'Q') << "a long serial fills the field without a terminator";
    }
    DPFP_READER_ID stranger{};
    stranger.bytes[0] = 1;
    DPFP_DEVICE_INFO info{};
    EXPECT_EQ(sim.GetDeviceInfo(&stranger, &info), kApiUnknownReader);
}

TEST_F(HostileCalls, ComparisonReadsOnlyTheSizesItIsGiven) {
    const Bytes stored = Features(3, true);
    const Bytes live = Features(3, false);
    const struct {
        const char* name;
        const Bytes& templateData;
        int32_t templateSize;
        const Bytes& setData;
        int32_t setSize;
    } cases[] = {
        {"template cut short", stored, 1023, live, 384},
        {"set cut short", stored, 1024, live, 383},
        {"set cut to its header", stored, 1024, live, 40},
        {"negative template size", stored, -1, live, 384},
        {"smallest template size", stored, INT32_MIN, live, 384},
        {"empty set", stored, 1024, live, 0},
        {"set as template", live, 384, live, 384},
        {"template as set", stored, 1024, stored, 1024},
    };
    for (const auto& c : cases) {
        const auto templateBlock = Block(c.templateData, c.templateSize > 0 ? static_cast<size_t>(c.templateSize) : 1);
        const auto setBlock = Block(c.setData, c.setSize > 0 ? static_cast<size_t>(c.setSize) : 1);
        int32_t options = 0;
        int32_t level = 4;
        double score = 0.0;
        int32_t decision = 7;
        EXPECT_EQ(sim.McVerifyFeaturesEx(mc, c.templateSize, templateBlock.get(), c.setSize, setBlock.get(), 0,
                                         &options, &level, &score, &decision),
                  kInvalidBuffer)
            << c.name;
        EXPECT_EQ(decision, 0) << c.name;
    }
    int32_t decision = 7;
    EXPECT_EQ(sim.McVerifyFeaturesEx(mc, 1024, nullptr, 384, live.data(), 0, nullptr, nullptr, nullptr, &decision),
              kInvalidBuffer);
    EXPECT_EQ(sim.McVerifyFeaturesEx(mc, 1024, stored.data(), 384, live.data(), 0, nullptr, nullptr, nullptr, nullptr),
              kInvalidParameter);
    EXPECT_EQ(
        sim.McVerifyFeaturesEx(fx, 1024, stored.data(), 384, live.data(), 0, nullptr, nullptr, nullptr, &decision),
        kInvalidContext)
        << "an extraction context is no comparison context";
}

TEST_F(HostileCalls, ACorruptedByteSpoilsASet) {
    const Bytes stored = Features(5, true);
    Bytes live = Features(5, false);
    int32_t decision = 0;
    for (size_t at : {size_t{0}, size_t{10}, size_t{100}, live.size() - 1}) {
        Bytes bad = live;
        bad[at] ^= 0x01;
        EXPECT_EQ(
            sim.McVerifyFeaturesEx(mc, 1024, stored.data(), 384, bad.data(), 0, nullptr, nullptr, nullptr, &decision),
            kInvalidBuffer)
            << "byte " << at;
    }
}

TEST_F(HostileCalls, ExtractionStaysWithinSampleAndSet) {
    const DPFP_SAMPLE* sample = TakeSample(2);
    const int32_t sampleSize = static_cast<int32_t>(sample->size);
    const Bytes sampleBytes(sample->data, sample->data + sample->size);
    const auto shortSample = Block(sampleBytes, sample->size - 1);
    auto set = Block({}, kMinFeatureSize);
    int32_t created = 9;

    EXPECT_EQ(sim.FxExtractFeatures(fx, sampleSize - 1, shortSample.get(), 0, kMinFeatureSize, set.get(), nullptr,
                                    nullptr, &created),
              kInvalidBuffer);
    EXPECT_EQ(created, 0);
    EXPECT_EQ(sim.FxExtractFeatures(fx, -1, sample->data, 0, kMinFeatureSize, set.get(), nullptr, nullptr, &created),
              kInvalidBuffer);
    EXPECT_EQ(sim.FxExtractFeatures(fx, sampleSize, sample->data, 0, kMinFeatureSize - 1, set.get(), nullptr, nullptr,
                                    &created),
              kBufferTooSmall);
    EXPECT_EQ(sim.FxExtractFeatures(fx, sampleSize, sample->data, 0, INT32_MAX, set.get(), nullptr, nullptr, &created),
              kInvalidParameter);
    EXPECT_EQ(
        sim.FxExtractFeatures(fx, sampleSize, sample->data, 1, kMinFeatureSize, set.get(), nullptr, nullptr, &created),
        kInvalidPurpose);
    EXPECT_EQ(
        sim.FxExtractFeatures(fx, sampleSize, sample->data, 0, kMinFeatureSize, nullptr, nullptr, nullptr, &created),
        kInvalidParameter);
    EXPECT_TRUE(Untouched(set.get(), kMinFeatureSize));

    EXPECT_EQ(
        sim.FxExtractFeatures(fx, sampleSize, sample->data, 0, kMinFeatureSize, set.get(), nullptr, nullptr, &created),
        0);
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(std::all_of(set.get(), set.get() + kMinFeatureSize, [](uint8_t b) { return b >= 0x20 && b < 0x7F; }))
        << "a feature set is printable throughout";
}

TEST_F(HostileCalls, TemplatesComeOnlyFromWholeSetsOfOneFinger) {
    const Bytes one = PreRegistrationSet(1);
    const Bytes alsoOne = PreRegistrationSet(1);
    const Bytes two = PreRegistrationSet(2);
    Bytes verification = Features(1, false);
    verification.resize(512);
    auto templateBlock = Block({}, kMinFeatureSize);
    auto generate = [&](std::vector<const Bytes*> sets, int32_t count, int32_t setSize) {
        std::vector<uint8_t*> pointers;
        for (const Bytes* set : sets) pointers.push_back(set ? const_cast<uint8_t*>(set->data()) : nullptr);
        return sim.McGenerateRegFeatures(mc, count, setSize, pointers.data(), kMinFeatureSize, templateBlock.get());
    };

    EXPECT_EQ(generate({&one, &two}, 2, 512), kInvalidBuffer) << "two fingers";
    EXPECT_EQ(generate({&one, &verification}, 2, 512), kInvalidBuffer) << "a verification set";
    EXPECT_EQ(generate({&one, &alsoOne}, 2, 511), kInvalidBuffer) << "sets longer than said";
    EXPECT_EQ(generate({&one, nullptr}, 2, 512), kInvalidParameter);
    EXPECT_EQ(generate({&one}, 0, 512), kInvalidParameter);
    EXPECT_EQ(generate({&one}, -4, 512), kInvalidParameter);
    EXPECT_EQ(generate({&one}, kMaxSetsPerTemplate + 1, 512), kInvalidParameter);
    EXPECT_TRUE(Untouched(templateBlock.get(), kMinFeatureSize));
    EXPECT_EQ(generate({&one, &alsoOne}, 2, 512), 0);
}

TEST_F(HostileCalls, BitmapNeedsTheWholeBuffer) {
    const DPFP_SAMPLE* sample = TakeSample(4);
    uint32_t size = 0;
    ASSERT_EQ(sim.ConvertSampleToBitmap(sample, nullptr, &size), 0);
    ASSERT_GT(size, 1064u);

    auto shortBuffer = Block({}, size - 1);
    uint32_t shortSize = size - 1;
    EXPECT_LT(sim.ConvertSampleToBitmap(sample, shortBuffer.get(), &shortSize), 0);
    EXPECT_EQ(shortSize, size) << "the size needed";
    EXPECT_TRUE(Untouched(shortBuffer.get(), size - 1));

    const DPFP_SAMPLE noData{0, nullptr};
    const DPFP_SAMPLE cutShort{sample->size - 1, sample->data};
    EXPECT_LT(sim.ConvertSampleToBitmap(&noData, nullptr, &size), 0);
    EXPECT_LT(sim.ConvertSampleToBitmap(&cutShort, nullptr, &size), 0);
    EXPECT_LT(sim.ConvertSampleToBitmap(nullptr, nullptr, &size), 0);
    EXPECT_LT(sim.ConvertSampleToBitmap(sample, nullptr, nullptr), 0);

    auto bitmap = Block({}, size);
    EXPECT_EQ(sim.ConvertSampleToBitmap(sample, bitmap.get(), &size), 0);
}

TEST_F(HostileCalls, DisplayImageRefusesAbsurdSizesAndForeignData) {
    const DPFP_SAMPLE* sample = TakeSample(6);
    auto image = Block({}, 64);
    const int32_t refused[][2] = {{0, 8}, {8, 0}, {-8, 8}, {8, -1}, {kMaxDisplaySide + 1, 1}, {INT32_MAX, INT32_MAX}};
    for (const auto& size : refused) {
        EXPECT_EQ(sim.FxGetDisplayImage(fx, sample->data, size, 0, 256, image.get()), kInvalidParameter)
            << size[0] << " x " << size[1];
    }
    const Bytes copy(sample->data, sample->data + sample->size);
    const int32_t size[2] = {16, 4};
    EXPECT_EQ(sim.FxGetDisplayImage(fx, copy.data(), size, 0, 256, image.get()), kInvalidBuffer)
        << "without a size, only the reader's own samples are read";
    EXPECT_EQ(sim.FxGetDisplayImage(fx, nullptr, size, 0, 256, image.get()), kInvalidParameter);
    EXPECT_EQ(sim.FxGetDisplayImage(fx, sample->data, nullptr, 0, 256, image.get()), kInvalidParameter);
    EXPECT_EQ(sim.FxGetDisplayImage(mc, sample->data, size, 0, 256, image.get()), kInvalidContext);
    EXPECT_TRUE(Untouched(image.get(), 64));

    const int32_t odd[2] = {7, 3};
    auto small = Block({}, 21);
    EXPECT_EQ(sim.FxGetDisplayImage(fx, sample->data, odd, 0, 256, small.get()), 0);
    EXPECT_FALSE(Untouched(small.get(), 21));
}

TEST_F(HostileCalls, MadeFeaturesNeedRoomAndAFinger) {
    auto small = Block({}, 383);
    EXPECT_EQ(sim.MakeFeatures(1, 0, small.get(), 383), 384);
    EXPECT_TRUE(Untouched(small.get(), 383));
    EXPECT_EQ(sim.MakeFeatures(0, 0, small.get(), 383), 0);
    EXPECT_EQ(sim.MakeFeatures(11, 1, nullptr, 0), 0);
    EXPECT_EQ(sim.MakeFeatures(-1, 1, nullptr, 0), 0);
    ASSERT_EQ(sim.Configure("verifylen=20"), 0);
    EXPECT_EQ(sim.MakeFeatures(1, 0, nullptr, 0), 0) << "too small a size to hold a set";
}

TEST(MalformedEnvironment, RefusesEverySession) {
    Simulator sim{"finger=42", [](const PostedEvent&) { return true; }};
    EXPECT_EQ(sim.Init(), kApiUnexpected);
    EXPECT_EQ(sim.FxInit(), kInternalError);
    EXPECT_EQ(sim.McInit(), kInternalError);
    sim.Reset("finger=4");
    EXPECT_EQ(sim.Init(), 0) << "a sound script starts it again";
    sim.Term();
}

}  // namespace
}  // namespace dpfpsim
