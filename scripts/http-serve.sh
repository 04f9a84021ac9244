# Sourced by the demo and benchmark scripts: serves a folder over HTTP on a
# free port of 127.0.0.1 with Python's http.server.
#   serve_folder <folder>   sets server_port and server_pid once it answers;
#                           the caller kills server_pid when done.

serve_folder() {
    server_port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    python3 -m http.server --bind 127.0.0.1 --directory "$1" "$server_port" >/dev/null 2>&1 &
    server_pid=$!
    for _ in $(seq 50); do
        curl -s -o /dev/null "http://127.0.0.1:$server_port/" && return 0
        sleep 0.1
    done
    echo "the HTTP server on 127.0.0.1:$server_port did not answer" >&2
    return 1
}
