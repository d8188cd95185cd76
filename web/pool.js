// The page's readers: a pool of workers (worker.js), one per processor and at most eight, that
// describe the games of a list side by side, each description passed on as it comes. Everything else
// goes to the first worker, which keeps the games listed. The pool takes and gives the messages one
// worker would, so the page (app.js) talks to it as to a worker.

class Readers extends EventTarget {
  static MOST = 8;
  // Requests a worker holds at once: it reads the next games' files while it describes one, so that a
  // read the browser is slow to give leaves it something to describe, and holds no more files than that.
  static IN_FLIGHT = 3;

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
    this.games = new Map();  // id -> {file, path, shownName}, of the games given
    this.asks = 0;  // descriptions asked for so far, which number them
    this.latest = new Map();  // id -> the number of the last description asked of the game
    this.run = { after: 0, waiting: [], done: 0, total: 0, reading: '' };  // the games of the last add, and any read again
    this.adding = null;  // the options of the games given, until the first worker has listed them
    this.onmessage = null;
    this.onerror = null;
  }

  postMessage(request) {
    const [first] = this.workers;
    switch (request.type) {
      case 'add':
        this.games = new Map(request.files.map((entry) => [entry.id, { ...entry }]));
        this.run = { after: this.asks, waiting: [], done: 0, total: 0, reading: '' };
        this.latest = new Map();
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
    this.run.waiting.push(...ids.map((id) => ({ id, options })));
    this.run.total += ids.length;
    if (ids.length === 0) this.progress();
    for (const worker of this.workers) this.feed(worker);
  }

  feed(worker) {
    const { waiting } = this.run;
    while (waiting.length > 0 && this.held.get(worker) < Readers.IN_FLIGHT) {
      const { id, options } = waiting.shift();
      const { file, path } = this.games.get(id);
      this.latest.set(id, ++this.asks);
      this.held.set(worker, this.held.get(worker) + 1);
      worker.postMessage({ type: 'describe', id, file, path, options, ask: this.asks });
    }
  }

  progress() {
    const { done, total, reading } = this.run;
    this.emit({ type: 'progress', done, total, name: reading });
  }

  receive(worker, message) {
    if (message.type === 'reading') {
      // Each game's name is shown while a worker reads it, as one worker would show it.
      if (message.ask > this.run.after && message.ask === this.latest.get(message.id)) {
        this.run.reading = this.games.get(message.id).shownName;
        this.progress();
      }
    } else if (message.type === 'described') {
      this.held.set(worker, this.held.get(worker) - 1);
      if (message.ask > this.run.after) {
        ++this.run.done;
        // A game asked for again shows what it was read with last.
        if (message.ask === this.latest.get(message.id)) {
          this.emit(message);
          // The first worker, which extracts, reads the game's file as far as it needs at once.
          if (message.field) this.workers[0].postMessage({ type: 'field', id: message.id, field: message.field });
        }
        // The count shows with the next game read; the last ends the progress.
        if (this.run.done === this.run.total) this.progress();
      }
      this.feed(worker);
    } else if (message.type === 'listed' && this.adding) {
      const options = this.adding;
      this.adding = null;
      for (const { id, shownName } of message.games) this.games.get(id).shownName = shownName;
      this.emit(message);
      this.describe(message.games.map((game) => game.id), options);
    } else {
      this.emit(message);
    }
  }
}
