#include "printing/job/job_failure.h"

JobFailure JobFailure::Stopped() {
    return {FailureKind::Stopped, "The job was stopped before all of its data was sent."};
}
