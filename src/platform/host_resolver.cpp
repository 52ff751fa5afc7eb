#include "platform/host_resolver.h"

#include <mutex>
#include <system_error>
#include <thread>

#include "platform/loop_backend.h"
#include "platform/loop_core.h"

namespace px3 {

namespace {

// One lookup, shared by the resolver and its helper thread, so that either may go first.
struct LookupJob {
    std::mutex mutex;
    std::optional<Ipv4Address> result;
};

}  // namespace

class HostResolver::Impl final : public LoopAttachment {
  public:
    Impl(NotificationTarget& target, Handler on_resolved)
        : target_(target),
          core_(LoopAccess::Core(target.Loop())),
          on_resolved_(std::move(on_resolved)) {}

    ~Impl() { Cancel(); }

    void Start(const std::string& name) {
        Cancel();
        number_ = core_.Attach(*this, target_.Id());
        job_ = std::make_shared<LookupJob>();
        const LoopMessage done{number_, 0, 0};
        const std::optional<Ipv4Address> dotted = ParseIpv4Address(name);
        if (dotted || name.empty()) {
            job_->result = dotted;
            LoopAccess::Backend(target_.Loop()).Post(target_.Id(), done);
            return;
        }
        try {
            std::thread([job = job_, poster = LoopAccess::Backend(target_.Loop()).Poster(),
                         target = target_.Id(), name, done] {
                std::optional<Ipv4Address> result = ResolveHostName(name);
                {
                    const std::lock_guard<std::mutex> lock(job->mutex);
                    job->result = result;
                }
                poster->Post(target, done);
            }).detach();
        } catch (const std::system_error&) {
            // No thread to be had: the name counts as unresolvable.
            LoopAccess::Backend(target_.Loop()).Post(target_.Id(), done);
        }
    }

    void Cancel() {
        if (number_ != 0) {
            core_.Detach(number_);
            number_ = 0;
        }
        job_.reset();
    }

    bool Busy() const { return number_ != 0; }

    void OnNotice(const LoopMessage&) override {
        std::optional<Ipv4Address> result;
        {
            const std::lock_guard<std::mutex> lock(job_->mutex);
            result = job_->result;
        }
        Cancel();
        // A copy, so that the handler may destroy the resolver.
        const Handler on_resolved = on_resolved_;
        if (on_resolved) {
            on_resolved(result);
        }
    }

  private:
    NotificationTarget& target_;
    LoopCore& core_;
    Handler on_resolved_;
    std::uint32_t number_ = 0;
    std::shared_ptr<LookupJob> job_;
};

HostResolver::HostResolver(NotificationTarget& target, Handler on_resolved)
    : impl_(std::make_unique<Impl>(target, std::move(on_resolved))) {}

HostResolver::~HostResolver() = default;

void HostResolver::Start(const std::string& name) {
    impl_->Start(name);
}

void HostResolver::Cancel() {
    impl_->Cancel();
}

bool HostResolver::Busy() const {
    return impl_->Busy();
}

}  // namespace px3
