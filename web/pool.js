// The page's readers: a pool of workers (worker.js), one per processor and at most eight, that
// describe the games of a list side by side, each description passed on as it comes. Everything else
// goes to the first worker, which keeps the games listed. The pool takes and gives the messages one
// worker would, so the page (app.js) talks to it as to a worker.

class Readers extends EventTarget {
  static MOST = 8;
  // Requests a worker holds at once: it reads the next game's file while it describes one, and holds
  // no more files than that.
  static IN_FLIGHT = 2;

  constructor(source) {
    super();
    const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    const count = Math.max(1, Math.min(navigator.hardwareConcurrency || 1, Readers.MOST));
    this.workers = Array.from({ length: count }, () => {
      const worker = new Worker(url);
      worker.onmessage = (event) => this.receive(worker, event.data);
      worker.onerror = (event) => { if (this.onerror) this.onerror(event); };
      return worker;
    });
    this.held = new Map(this.workers.map((worker) => [worker, 0]));  // requests each worker holds
    this.files = new Map();  // id -> File, of the games given
    this.batch = { number: 0, waiting: [], done: 0, total: 0, reading: '' };  // the games being described
    this.adding = null;  // the options of the games given, until the first worker has listed them
    this.onmessage = null;
    this.onerror = null;
  }

  postMessage(request) {
    const [first] = this.workers;
    switch (request.type) {
      case 'add':
        this.files = new Map(request.files.map(({ id, file }) => [id, file]));
        this.adding = request.options;
        this.broadcast({ type: 'forget' });
        first.postMessage({ type: 'add', files: request.files });
        break;
      case 'redescribe':
        this.broadcast({ type: 'forget', ids: request.ids });
        this.describe(request.ids, request.options);
        break;
      case 'encoding':
        this.broadcast(request);
        break;
      default:
        first.postMessage(request);
    }
  }

  terminate() {
    for (const worker of this.workers) worker.terminate();
  }

  broadcast(request) {
    for (const worker of this.workers) worker.postMessage(request);
  }

  emit(message) {
    if (this.onmessage) this.onmessage({ data: message });
    this.dispatchEvent(new MessageEvent('message', { data: message }));
  }

  describe(ids, options) {
    this.batch = { number: this.batch.number + 1, waiting: [...ids], done: 0, total: ids.length, reading: '', options };
    for (const worker of this.workers) this.feed(worker);
    this.progress();
  }

  feed(worker) {
    const { number, waiting, options } = this.batch;
    while (waiting.length > 0 && this.held.get(worker) < Readers.IN_FLIGHT) {
      const id = waiting.shift();
      this.batch.reading = this.files.get(id).name;
      this.held.set(worker, this.held.get(worker) + 1);
      worker.postMessage({ type: 'describe', id, file: this.files.get(id), options, batch: number });
    }
  }

  progress() {
    const { done, total, reading } = this.batch;
    this.emit({ type: 'progress', done, total, name: reading });
  }

  receive(worker, message) {
    if (message.type === 'described') {
      this.held.set(worker, this.held.get(worker) - 1);
      // A description asked for before the games were given again is stale.
      if (message.batch === this.batch.number) {
        ++this.batch.done;
        this.emit(message);
        this.progress();
      }
      this.feed(worker);
    } else if (message.type === 'listed' && this.adding) {
      const options = this.adding;
      this.adding = null;
      this.emit(message);
      this.describe(message.ids, options);
    } else {
      this.emit(message);
    }
  }
}
