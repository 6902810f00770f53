# The result list's platform-independent parts: cell text, sort keys and the sort.
