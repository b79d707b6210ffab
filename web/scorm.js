// The page in a learning platform that runs it as a SCORM 1.2 package: it tells the platform the
// learner has completed it once the first report is written, and nothing else. Outside a
// platform there is no API to find and this does nothing; a platform whose API is missing,
// throws or answers "false" changes nothing the learner sees. Appended to the module's loader
// after the page's script (web/page.js), which signals each report with a `tavrelonreport` event.
{

// The platform's API object: `API` on this window or one of its parents, then on the opener's
// (the standard search, which gives up after seven levels). A window of another origin cannot be
// looked into: it has none for us.
function apiFrom(start) {
  let at = start;
  for (let level = 0; at && level <= 7; ++level) {
    try {
      if (at.API) {
        return at.API;
      }
    } catch {
      // another origin
    }
    if (at.parent === at) {
      break;
    }
    at = at.parent;
  }
  return null;
}

let api = null;
try {
  api = apiFrom(self) ?? (self.opener ? apiFrom(self.opener) : null);
} catch {
  // a parent or opener that cannot be reached at all
}

// One call of the API; true when it answers "true".
function call(name, ...values) {
  try {
    return String(api[name](...values)) === 'true';
  } catch {
    return false;
  }
}

if (api && call('LMSInitialize', '')) {
  let pending = false;
  const complete = () => {
    if (pending) {
      pending = false;
      call('LMSSetValue', 'cmi.core.lesson_status', 'completed');
      call('LMSCommit', '');
    }
  };
  document.addEventListener(
    'tavrelonreport',
    () => {
      pending = true;
      // Once the report is on the screen: a platform's commit may wait for its server.
      requestAnimationFrame(() => setTimeout(complete));
    },
    { once: true },
  );
  addEventListener(
    'pagehide',
    () => {
      complete();
      call('LMSFinish', '');
    },
    { once: true },
  );
}
}
