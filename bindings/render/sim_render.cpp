#include "bindings/render/sim_render.h"

#include <cairo.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <thread>

#include "bindings/draw/cairo_draw.h"
#include "bindings/draw/cairo_target.h"
#include "bindings/draw/geometry_model.h"
#include "bindings/draw/pango_text.h"

namespace Quarn::WinRT::sim {

using platform::MakeRef;
using platform::Ref;
namespace render = platform::render;
namespace draw = platform::draw;

namespace {

std::atomic<int> s_liveObjects{0};

// Longer than any pause of a test or fuzzer between two frames it asks for, so that no frame
// goes ahead unasked while a driver is still stepping.
constexpr std::chrono::seconds kSilentDriverRefresh{2};

// Counts the chain's objects so that tests can see a failed chain let go of everything.
class Counted {
protected:
    Counted() { s_liveObjects.fetch_add(1, std::memory_order_relaxed); }
    ~Counted() { s_liveObjects.fetch_sub(1, std::memory_order_relaxed); }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;
};

HRESULT Failure(FaultInjector& faults, std::string_view operation) {
    if (std::optional<Fault> fault = faults.Take(operation)) {
        return fault->code;
    }
    return S_OK;
}

// The start of every creation: a null out pointer is E_POINTER, the out reference is emptied,
// and an armed fault of the operation answers for it.
template <class T>
HRESULT Refuse(FaultInjector& faults, std::string_view operation, Ref<T>* out) {
    if (!out) {
        return E_POINTER;
    }
    *out = nullptr;
    return Failure(faults, operation);
}

class SimGraphicsDevice final : public render::GraphicsDevice, Counted {};
class SimDxgiDevice final : public render::DxgiDevice, Counted {};

}  // namespace

// The swap chain: two image surfaces, the back one drawn by the device context through the
// CairoTarget side, swapped by Present, which then waits for the frame clock.
class SimSwapChain final : public render::SwapChain, public draw::CairoTarget, Counted {
public:
    SimSwapChain(SimGraphics& graphics, const render::SwapChainDescription& description,
                 FramePacing pacing, double framesPerSecond)
        : m_graphics(graphics),
          m_faults(graphics.Faults()),
          m_pacing(pacing),
          m_period(std::chrono::duration_cast<std::chrono::steady_clock::duration>(
              std::chrono::duration<double>(1.0 / std::max(framesPerSecond, 1.0)))) {
        Allocate(static_cast<int>(description.width), static_cast<int>(description.height));
    }
    ~SimSwapChain() override { Free(); }

    HRESULT GetBuffer(UINT index, Ref<render::Surface>* surface) override;

    cairo_surface_t* BeginFrame() override {
        std::lock_guard lock(m_mutex);
        m_drawing = ++m_begun;
        m_preparing = false;
        m_drawingBegan = std::chrono::steady_clock::now();
        return m_back;
    }
    HRESULT EndFrame() override {
        cairo_surface_flush(m_back);
        return Failure(m_faults, ops::kEndDraw);
    }

    HRESULT Present(UINT syncInterval, UINT /*flags*/) override {
        const HRESULT failure = Failure(m_faults, ops::kPresent);
        // As DXGI's: a failing Present shows nothing and returns at once, without a blank to
        // wait for (a removed device fails every call immediately). In stepped pacing the frame
        // that failed leaves the driver's wish standing, so the next frame goes ahead at once.
        if (FAILED(failure)) {
            std::lock_guard lock(m_mutex);
            m_preparing = true;
            return failure;
        }
        std::unique_lock lock(m_mutex);
        std::swap(m_front, m_back);
        m_presented = m_drawing;
        m_changed.notify_all();
        const auto began = m_drawingBegan;
        lock.unlock();
        m_graphics.Presented(began);
        lock.lock();
        if (syncInterval > 0 && !m_closed) {
            if (m_pacing == FramePacing::Stepped) {
                // The driver steps the frames. A renderer that stops while its window stays (a
                // DestroyWindow that failed) asks for none, and on Windows its Present returns
                // at the next refresh anyway: here the refresh comes once the driver has been
                // silent for kSilentDriverRefresh.
                m_changed.wait_for(lock, kSilentDriverRefresh,
                                   [&] { return m_wanted > m_presented || m_closed; });
            } else {
                const auto now = std::chrono::steady_clock::now();
                m_nextBlank = std::max(m_nextBlank, now);
                const auto blank = m_nextBlank;
                m_nextBlank += m_period;
                m_changed.wait_until(lock, blank, [&] { return m_closed; });
            }
        }
        m_preparing = true;
        return S_OK;
    }

    HRESULT ResizeBuffers(UINT width, UINT height) override {
        if (const HRESULT failure = Failure(m_faults, ops::kResizeBuffers); FAILED(failure)) {
            return failure;
        }
        if (width == 0 || height == 0 || width > render::kMaxBufferSide ||
            height > render::kMaxBufferSide) {
            return E_INVALIDARG;
        }
        // As DXGI: no buffer may be held while the buffers are made again.
        if (m_bufferReferences.load(std::memory_order_acquire) != 0) {
            return kInvalidCall;
        }
        std::lock_guard lock(m_mutex);
        Free();
        Allocate(static_cast<int>(width), static_cast<int>(height));
        return S_OK;
    }

    // A surface or bitmap of a buffer came or went.
    void HoldBuffer(int delta) { m_bufferReferences.fetch_add(delta, std::memory_order_acq_rel); }

    std::optional<SimFrame> RunFrame(std::chrono::milliseconds timeout) {
        std::unique_lock lock(m_mutex);
        // The first frame whose overlay is read after this call: the renderer reads it before it
        // begins drawing, so while it is between frames, the one it is preparing may hold the
        // state from before the call, and the frame after it is the first sure to be newer.
        const std::uint64_t target = m_begun + (m_preparing ? 2 : 1);
        m_wanted = std::max(m_wanted, target);
        m_changed.notify_all();
        if (!m_changed.wait_for(lock, timeout, [&] { return m_presented >= target || m_closed; }) ||
            m_presented < target) {
            // Nobody waits for it any more: the render thread need not go on drawing.
            m_wanted = m_presented;
            return std::nullopt;
        }
        return Front();
    }

    std::optional<SimFrame> LatestFrame() {
        std::lock_guard lock(m_mutex);
        if (m_presented == 0) {
            return std::nullopt;
        }
        return Front();
    }

    void Close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_changed.notify_all();
    }

private:
    // DXGI_ERROR_INVALID_CALL.
    static constexpr HRESULT kInvalidCall = static_cast<HRESULT>(0x887A0001);

    // A copy of the shown buffer; under the mutex.
    SimFrame Front() const {
        SimFrame frame;
        frame.width = m_width;
        frame.height = m_height;
        frame.number = m_presented;
        const std::size_t count =
            static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height);
        const unsigned char* data = cairo_image_surface_get_data(m_front);
        const int stride = cairo_image_surface_get_stride(m_front);
        if (!data) {
            frame.pixels.resize(count);
            return frame;
        }
        // Row by row straight from the surface: a vector first filled with zeros costs a
        // comparison per pixel under the fuzzers' instrumentation, more than the frame's drawing.
        frame.pixels.reserve(count);
        for (int y = 0; y < m_height; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                data + static_cast<std::ptrdiff_t>(y) * stride);
            frame.pixels.insert(frame.pixels.end(), row, row + m_width);
        }
        return frame;
    }

    void Allocate(int width, int height) {
        m_width = width;
        m_height = height;
        m_back = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
        m_front = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    }
    void Free() {
        cairo_surface_destroy(m_back);
        cairo_surface_destroy(m_front);
        m_back = m_front = nullptr;
    }

    SimGraphics& m_graphics;
    FaultInjector& m_faults;
    const FramePacing m_pacing;
    const std::chrono::steady_clock::duration m_period;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    // The size and the surfaces change only in ResizeBuffers (render thread, under the mutex).
    int m_width = 0;
    int m_height = 0;
    cairo_surface_t* m_back = nullptr;   // drawn by the render thread between Begin and Present
    cairo_surface_t* m_front = nullptr;  // read by RunFrame under the mutex
    std::uint64_t m_begun = 0;
    std::uint64_t m_drawing = 0;
    std::chrono::steady_clock::time_point m_drawingBegan{};
    std::uint64_t m_presented = 0;
    std::uint64_t m_wanted = 0;  // stepped pacing: the frame number the driver waits for
    // From a Present's return (or the chain's start) until the next frame begins: the renderer
    // may be reading the overlay it is about to draw.
    bool m_preparing = true;
    bool m_closed = false;
    std::chrono::steady_clock::time_point m_nextBlank{};
    std::atomic<int> m_bufferReferences{0};
};

namespace {

class SimSurface final : public render::Surface, Counted {
public:
    explicit SimSurface(Ref<SimSwapChain> swapChain) : m_swapChain(std::move(swapChain)) {
        m_swapChain->HoldBuffer(1);
    }
    ~SimSurface() override { m_swapChain->HoldBuffer(-1); }
    SimSwapChain* SwapChain() const { return m_swapChain.Get(); }

private:
    Ref<SimSwapChain> m_swapChain;
};

class SimTargetBitmap final : public render::TargetBitmap, Counted {
public:
    explicit SimTargetBitmap(Ref<SimSwapChain> swapChain) : m_swapChain(std::move(swapChain)) {
        m_swapChain->HoldBuffer(1);
    }
    ~SimTargetBitmap() override { m_swapChain->HoldBuffer(-1); }
    SimSwapChain* SwapChain() const { return m_swapChain.Get(); }

private:
    Ref<SimSwapChain> m_swapChain;
};

class SimDxgiFactory final : public render::DxgiFactory, Counted {
public:
    explicit SimDxgiFactory(SimGraphics& graphics) : m_graphics(graphics) {}
    HRESULT CreateSwapChainForComposition(render::DxgiDevice* device,
                                          const render::SwapChainDescription& description,
                                          Ref<render::SwapChain>* swapChain) override {
        if (const HRESULT refused =
                Refuse(m_graphics.Faults(), ops::kCreateSwapChainForComposition, swapChain);
            FAILED(refused)) {
            return refused;
        }
        // As DXGI: a composition swap chain needs a device and a real size.
        if (!device || description.width == 0 || description.height == 0 ||
            description.width > 16384 || description.height > 16384) {
            return E_INVALIDARG;
        }
        *swapChain = m_graphics.MakeSwapChain(description);
        return S_OK;
    }

private:
    SimGraphics& m_graphics;
};

class SimDrawingDevice final : public render::DrawingDevice, Counted {
public:
    SimDrawingDevice(FaultInjector& faults, Ref<draw::Factory> factory, Ref<draw::TextFactory> text)
        : m_faults(faults), m_factory(std::move(factory)), m_text(std::move(text)) {}
    HRESULT CreateDeviceContext(Ref<draw::DeviceContext>* context) override {
        if (const HRESULT refused = Refuse(m_faults, ops::kCreateDeviceContext, context);
            FAILED(refused)) {
            return refused;
        }
        *context = draw::CreateCairoDeviceContext(m_factory, m_text);
        return *context ? S_OK : E_OUTOFMEMORY;
    }

private:
    FaultInjector& m_faults;
    Ref<draw::Factory> m_factory;
    Ref<draw::TextFactory> m_text;
};

class SimCompositionVisual final : public render::CompositionVisual, Counted {
public:
    explicit SimCompositionVisual(FaultInjector& faults) : m_faults(faults) {}
    HRESULT SetContent(render::SwapChain* content) override {
        if (const HRESULT failure = Failure(m_faults, ops::kSetContent); FAILED(failure)) {
            return failure;
        }
        m_content = Ref<SimSwapChain>(dynamic_cast<SimSwapChain*>(content));
        return S_OK;
    }
    const Ref<SimSwapChain>& Content() const { return m_content; }

private:
    FaultInjector& m_faults;
    Ref<SimSwapChain> m_content;
};

class SimCompositionTarget final : public render::CompositionTarget, Counted {
public:
    SimCompositionTarget(FaultInjector& faults, HWND window) : m_faults(faults), m_window(window) {}
    HRESULT SetRoot(render::CompositionVisual* visual) override {
        if (const HRESULT failure = Failure(m_faults, ops::kSetRoot); FAILED(failure)) {
            return failure;
        }
        m_root = Ref<SimCompositionVisual>(dynamic_cast<SimCompositionVisual*>(visual));
        return S_OK;
    }
    HWND Window() const { return m_window; }
    const Ref<SimCompositionVisual>& Root() const { return m_root; }

private:
    FaultInjector& m_faults;
    HWND m_window;
    Ref<SimCompositionVisual> m_root;
};

class SimCompositionDevice final : public render::CompositionDevice, Counted {
public:
    explicit SimCompositionDevice(SimGraphics& graphics) : m_graphics(graphics) {}
    HRESULT CreateTargetForHwnd(HWND window, bool /*topmost*/,
                                Ref<render::CompositionTarget>* target) override {
        if (const HRESULT refused = Refuse(m_graphics.Faults(), ops::kCreateTargetForHwnd, target);
            FAILED(refused)) {
            return refused;
        }
        if (!window) {
            return E_INVALIDARG;
        }
        auto created = MakeRef<SimCompositionTarget>(m_graphics.Faults(), window);
        m_targets.push_back(created);
        *target = created;
        return S_OK;
    }
    HRESULT CreateVisual(Ref<render::CompositionVisual>* visual) override {
        if (const HRESULT refused = Refuse(m_graphics.Faults(), ops::kCreateVisual, visual);
            FAILED(refused)) {
            return refused;
        }
        *visual = MakeRef<SimCompositionVisual>(m_graphics.Faults());
        return S_OK;
    }
    // What the tree shows becomes visible only now, as with DirectComposition.
    HRESULT Commit() override {
        if (const HRESULT failure = Failure(m_graphics.Faults(), ops::kCommit); FAILED(failure)) {
            return failure;
        }
        for (const Ref<SimCompositionTarget>& target : m_targets) {
            if (target->Root() && target->Root()->Content()) {
                m_graphics.Bind(target->Window(), target->Root()->Content());
            }
        }
        return S_OK;
    }

private:
    SimGraphics& m_graphics;
    std::vector<Ref<SimCompositionTarget>> m_targets;
};

}  // namespace

HRESULT SimSwapChain::GetBuffer(UINT index, Ref<render::Surface>* surface) {
    if (const HRESULT refused = Refuse(m_faults, ops::kGetBuffer, surface); FAILED(refused)) {
        return refused;
    }
    // A flip-model swap chain lets the application reach only buffer 0, the one drawn next.
    if (index != 0) {
        return E_INVALIDARG;
    }
    *surface = MakeRef<SimSurface>(Ref<SimSwapChain>(this));
    return S_OK;
}

std::uint32_t SimFrame::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return 0;
    }
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
}

bool SimFrame::IsFullyTransparent() const {
    // Every pixel equal to the first, and the first zero, in one memcmp of the buffer against
    // itself one pixel on: a loop would cost a comparison per pixel under the fuzzers'
    // instrumentation.
    return pixels.empty() ||
           (pixels[0] == 0 && std::memcmp(pixels.data(), pixels.data() + 1,
                                          (pixels.size() - 1) * sizeof(std::uint32_t)) == 0);
}

bool SimFrame::SavePng(const std::string& path) const {
    return draw::SaveArgbPng(pixels.data(), width, height, width * 4, path);
}

SimGraphics::SimGraphics(FaultInjector& faults) : m_faults(faults) {}

SimGraphics::~SimGraphics() {
    std::lock_guard lock(m_mutex);
    for (auto& [window, swapChain] : m_bound) {
        swapChain->Close();
    }
}

void SimGraphics::SetPacing(FramePacing pacing, double framesPerSecond) {
    std::lock_guard lock(m_mutex);
    m_pacing = pacing;
    m_framesPerSecond = framesPerSecond;
}

FramePacing SimGraphics::Pacing() const {
    std::lock_guard lock(m_mutex);
    return m_pacing;
}

double SimGraphics::FramesPerSecond() const {
    std::lock_guard lock(m_mutex);
    return m_framesPerSecond;
}

Ref<SimSwapChain> SimGraphics::FindBound(HWND window) const {
    std::lock_guard lock(m_mutex);
    auto it = m_bound.find(window);
    return it == m_bound.end() ? Ref<SimSwapChain>() : it->second;
}

std::optional<SimFrame> SimGraphics::RunFrame(HWND window, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Ref<SimSwapChain> swapChain = FindBound(window);
    while (swapChain) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (std::optional<SimFrame> frame =
                swapChain->RunFrame(std::max(left, std::chrono::milliseconds(0)))) {
            return frame;
        }
        // A chain made again after a lost device closes the old one: wait for the new one's
        // frame instead, in the time left.
        Ref<SimSwapChain> now = FindBound(window);
        if (now == swapChain || std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        swapChain = std::move(now);
    }
    return std::nullopt;
}

std::optional<SimFrame> SimGraphics::LatestFrame(HWND window) const {
    const Ref<SimSwapChain> swapChain = FindBound(window);
    return swapChain ? swapChain->LatestFrame() : std::nullopt;
}

void SimGraphics::SetPresentListener(PresentListener* listener) {
    std::lock_guard lock(m_mutex);
    m_presentListener = listener;
}

void SimGraphics::Presented(std::chrono::steady_clock::time_point frameBegun) {
    std::lock_guard lock(m_mutex);
    if (m_presentListener) {
        m_presentListener->OnPresented(frameBegun);
    }
}

bool SimGraphics::IsPresenting(HWND window) const {
    return static_cast<bool>(FindBound(window));
}

void SimGraphics::OnWindowDestroyed(HWND window) {
    Ref<SimSwapChain> swapChain;
    {
        std::lock_guard lock(m_mutex);
        m_destroyed.insert(window);
        auto it = m_bound.find(window);
        if (it == m_bound.end()) {
            return;
        }
        swapChain = std::move(it->second);
        m_bound.erase(it);
    }
    swapChain->Close();
}

void SimGraphics::Bind(HWND window, Ref<SimSwapChain> swapChain) {
    Ref<SimSwapChain> replaced;
    {
        std::lock_guard lock(m_mutex);
        if (m_destroyed.count(window) != 0) {
            // Made for a window already gone: nothing shows it, and its Present must not wait.
            replaced = std::move(swapChain);
        } else {
            Ref<SimSwapChain>& bound = m_bound[window];
            if (bound == swapChain) {
                return;
            }
            replaced = std::exchange(bound, std::move(swapChain));
        }
    }
    // The chain the window showed before is done: a driver waiting for its frame moves on.
    if (replaced) {
        replaced->Close();
    }
}

Ref<SimSwapChain> SimGraphics::MakeSwapChain(const render::SwapChainDescription& description) {
    std::lock_guard lock(m_mutex);
    ++m_swapChainsMade;
    return MakeRef<SimSwapChain>(*this, description, m_pacing, m_framesPerSecond);
}

int SimGraphics::SwapChainsMade() const {
    std::lock_guard lock(m_mutex);
    return m_swapChainsMade;
}

void SimGraphics::WaitForNextFrame() {
    std::chrono::steady_clock::time_point blank;
    {
        std::lock_guard lock(m_mutex);
        const auto period = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(1.0 / std::max(m_framesPerSecond, 1.0)));
        m_nextBlank = std::max(m_nextBlank, std::chrono::steady_clock::now());
        blank = m_nextBlank;
        m_nextBlank += period;
    }
    std::this_thread::sleep_until(blank);
}

Ref<draw::TextFactory> SimGraphics::SharedTextFactory() {
    std::lock_guard lock(m_mutex);
    if (!m_textFactory) {
        m_textFactory = draw::CreatePangoTextFactory();
    }
    return m_textFactory;
}

int SimGraphics::LiveObjects() {
    return s_liveObjects.load(std::memory_order_relaxed);
}

HRESULT SimGraphics::CreateDevice(UINT /*flags*/, Ref<render::GraphicsDevice>* device) {
    if (const HRESULT refused = Refuse(m_faults, ops::kD3D11CreateDevice, device);
        FAILED(refused)) {
        return refused;
    }
    *device = MakeRef<SimGraphicsDevice>();
    return S_OK;
}

HRESULT SimGraphics::QueryDxgiDevice(render::GraphicsDevice* device,
                                     Ref<render::DxgiDevice>* dxgiDevice) {
    if (const HRESULT refused = Refuse(m_faults, ops::kQueryDxgiDevice, dxgiDevice);
        FAILED(refused)) {
        return refused;
    }
    if (!device) {
        return E_POINTER;
    }
    *dxgiDevice = MakeRef<SimDxgiDevice>();
    return S_OK;
}

HRESULT SimGraphics::CreateDxgiFactory(UINT /*flags*/, Ref<render::DxgiFactory>* factory) {
    if (const HRESULT refused = Refuse(m_faults, ops::kCreateDXGIFactory2, factory);
        FAILED(refused)) {
        return refused;
    }
    *factory = MakeRef<SimDxgiFactory>(*this);
    return S_OK;
}

HRESULT SimGraphics::CreateDrawingFactory(Ref<draw::Factory>* factory) {
    if (const HRESULT refused = Refuse(m_faults, ops::kD2D1CreateFactory, factory);
        FAILED(refused)) {
        return refused;
    }
    *factory = MakeRef<draw::ModelFactory>();
    return S_OK;
}

HRESULT SimGraphics::CreateDrawingDevice(draw::Factory* factory, render::DxgiDevice* device,
                                         Ref<render::DrawingDevice>* drawingDevice) {
    if (const HRESULT refused = Refuse(m_faults, ops::kCreateDrawingDevice, drawingDevice);
        FAILED(refused)) {
        return refused;
    }
    if (!factory || !device) {
        return E_INVALIDARG;
    }
    *drawingDevice =
        MakeRef<SimDrawingDevice>(m_faults, Ref<draw::Factory>(factory), SharedTextFactory());
    return S_OK;
}

HRESULT SimGraphics::CreateBitmapFromSurface(draw::DeviceContext* context, render::Surface* surface,
                                             const render::BitmapProperties& properties,
                                             Ref<render::TargetBitmap>* bitmap) {
    if (const HRESULT refused = Refuse(m_faults, ops::kCreateBitmapFromDxgiSurface, bitmap);
        FAILED(refused)) {
        return refused;
    }
    auto* simSurface = dynamic_cast<SimSurface*>(surface);
    if (!context || !simSurface || properties.format != render::kFormatB8G8R8A8Unorm ||
        properties.alphaMode != render::kAlphaModePremultiplied) {
        return E_INVALIDARG;
    }
    *bitmap = MakeRef<SimTargetBitmap>(Ref<SimSwapChain>(simSurface->SwapChain()));
    return S_OK;
}

void SimGraphics::SetTarget(draw::DeviceContext* context, render::TargetBitmap* bitmap) {
    auto* cairoContext = dynamic_cast<draw::CairoDeviceContext*>(context);
    auto* simBitmap = dynamic_cast<SimTargetBitmap*>(bitmap);
    if (cairoContext) {
        // The swap chain outlives the context in the renderer (it is released after it), so
        // the context may point at it without owning it.
        cairoContext->SetTarget(simBitmap ? simBitmap->SwapChain() : nullptr);
    }
}

HRESULT SimGraphics::CreateCompositionDevice(render::DxgiDevice* device,
                                             Ref<render::CompositionDevice>* compositionDevice) {
    if (const HRESULT refused = Refuse(m_faults, ops::kDCompositionCreateDevice, compositionDevice);
        FAILED(refused)) {
        return refused;
    }
    if (!device) {
        return E_INVALIDARG;
    }
    *compositionDevice = MakeRef<SimCompositionDevice>(*this);
    return S_OK;
}

HRESULT SimGraphics::CreateTextFactory(Ref<draw::TextFactory>* factory) {
    if (const HRESULT refused = Refuse(m_faults, ops::kDWriteCreateFactory, factory);
        FAILED(refused)) {
        return refused;
    }
    *factory = SharedTextFactory();
    return *factory ? S_OK : E_OUTOFMEMORY;
}

}  // namespace Quarn::WinRT::sim
